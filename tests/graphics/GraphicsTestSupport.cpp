#include "tests/graphics/GraphicsTestSupport.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>

#include "tests/PictureExpectation.h"

FilledSurface::FilledSurface(int32_t width, int32_t height, uint32_t pixel) : MemorySurface(width, height)
{
    if (bits()) std::fill_n(bits(), size_t(width) * height, pixel);
}

uint32_t Pixel(const Surface& s, int32_t x, int32_t y) { return SurfaceRow(s, y)[x]; }
uint32_t RawPixel(const Surface& s, int32_t x, int32_t y) { return s.bits()[y * s.rowSpan() + x]; }

int CountPixelsNot(const Surface& s, uint32_t value)
{
    int n = 0;
    for (int32_t y = 0; y < s.height(); ++y)
        for (int32_t x = 0; x < s.width(); ++x) n += RawPixel(s, x, y) != value;
    return n;
}

void ExpectPicture(const Surface& s, const std::string& name)
{
    ExpectStoredPicture(s, QUILLOGRAPH_EXPECTED_DIR, QUILLOGRAPH_ACTUAL_DIR, name);
}

namespace {

struct Buffer {
    std::vector<uint8_t> bytes;
};

void Append(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<Buffer*>(png_get_io_ptr(png));
    out->bytes.insert(out->bytes.end(), data, data + length);
}

void Flush(png_structp) {}

bool Encode(const PngLayout& layout, Buffer* out, std::vector<std::vector<uint8_t>>* rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_set_write_fn(png, out, Append, Flush);
    png_set_IHDR(png, info, layout.width, layout.height, layout.bitDepth, layout.colourType,
                 layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (layout.colourType == PNG_COLOR_TYPE_PALETTE) {
        std::vector<png_color> colours(layout.palette.size() / 3);
        for (size_t i = 0; i < colours.size(); ++i)
            colours[i] = {layout.palette[3 * i], layout.palette[3 * i + 1], layout.palette[3 * i + 2]};
        png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
        if (!layout.paletteAlpha.empty())
            png_set_tRNS(png, info, layout.paletteAlpha.data(), static_cast<int>(layout.paletteAlpha.size()), nullptr);
    } else if (layout.hasTransparentColour) {
        png_color_16 colour = {};
        colour.gray = layout.transparentGrey;
        colour.red = layout.transparentR;
        colour.green = layout.transparentG;
        colour.blue = layout.transparentB;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    png_write_info(png, info);
    std::vector<png_bytep> pointers;
    for (auto& row : *rows) pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngLayout& layout)
{
    int channels = 1;
    if (layout.colourType == PNG_COLOR_TYPE_GRAY_ALPHA) channels = 2;
    if (layout.colourType == PNG_COLOR_TYPE_RGB) channels = 3;
    if (layout.colourType == PNG_COLOR_TYPE_RGB_ALPHA) channels = 4;
    // Pack the samples MSB first at the bit depth, as the format stores them.
    std::vector<std::vector<uint8_t>> rows(layout.height);
    const size_t perRow = size_t(layout.width) * channels;
    for (uint32_t y = 0; y < layout.height; ++y) {
        auto& row = rows[y];
        row.assign((perRow * layout.bitDepth + 7) / 8, 0);
        for (size_t i = 0; i < perRow; ++i) {
            const uint32_t v = layout.samples[y * perRow + i];
            if (layout.bitDepth == 16) {
                row[2 * i] = static_cast<uint8_t>(v >> 8);
                row[2 * i + 1] = static_cast<uint8_t>(v);
            } else if (layout.bitDepth == 8) {
                row[i] = static_cast<uint8_t>(v);
            } else {
                const size_t bit = i * layout.bitDepth;
                row[bit / 8] |= static_cast<uint8_t>(v << (8 - layout.bitDepth - bit % 8));
            }
        }
    }
    Buffer out;
    if (!Encode(layout, &out, &rows)) return {};
    return out.bytes;
}
