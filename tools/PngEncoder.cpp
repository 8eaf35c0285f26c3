#include "tools/PngEncoder.h"

#include <png.h>
#include <zlib.h>

#include <csetjmp>
#include <vector>

bool EncodePng(FILE* file, int32_t width, int32_t height, bool alpha, int level,
               const std::function<const uint32_t*(int32_t y)>& rowAt)
{
    const int channels = alpha ? 4 : 3;
    std::vector<uint8_t> row(static_cast<size_t>(width) * channels);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    if (level >= 0) png_set_compression_level(png, level);
    // At fast levels the left-neighbour filter and run-length matching are quicker than the
    // adaptive filters and smaller than unfiltered rows (a spectrogram by two fifths).
    if (level >= 1 && level <= 3) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_set_compression_strategy(png, Z_RLE);
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* src = rowAt(y);
        uint8_t* out = row.data();
        for (int32_t x = 0; x < width; ++x, out += channels) {
            out[0] = static_cast<uint8_t>(src[x] >> 16);
            out[1] = static_cast<uint8_t>(src[x] >> 8);
            out[2] = static_cast<uint8_t>(src[x]);
            if (alpha) out[3] = static_cast<uint8_t>(src[x] >> 24);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
