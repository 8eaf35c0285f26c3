#include "tools/SurfacePng.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "graphics/PngLoader.h"

namespace {

bool WriteRows(FILE* file, int32_t width, int32_t height, std::vector<png_bytep>* rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows->data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WriteSurfacePng(const Surface& surface, const std::string& path)
{
    if (!HasPixels(surface)) return false;
    const int32_t width = surface.width(), height = surface.height();
    std::vector<uint8_t> bytes(size_t(width) * height * 4);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        const uint32_t* src = SurfaceRow(surface, y);
        uint8_t* out = bytes.data() + size_t(y) * width * 4;
        rows[static_cast<size_t>(y)] = out;
        for (int32_t x = 0; x < width; ++x) {
            out[4 * x + 0] = static_cast<uint8_t>(src[x] >> 16);
            out[4 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
            out[4 * x + 2] = static_cast<uint8_t>(src[x]);
            out[4 * x + 3] = static_cast<uint8_t>(src[x] >> 24);
        }
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool written = WriteRows(file, width, height, &rows);
    return std::fclose(file) == 0 && written;
}

std::unique_ptr<Surface> ReadSurfacePng(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    const std::vector<char> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return std::unique_ptr<Surface>(DecodePng(data.data(), data.size(), nullptr));
}
