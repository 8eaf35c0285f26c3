#include "graphics/PngLoader.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "graphics/MemorySurface.h"

namespace {

// Everything the decode touches after setjmp lives here, outside the function that calls
// setjmp, so a longjmp back cannot leave it in an indeterminate state.
struct PngDecode {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t position = 0;
    Surface* dest = nullptr;        // caller's surface, or null
    MemorySurface* created = nullptr;
    std::vector<png_bytep> rows;
};

// Each request is zero-filled first, so reads past the end yield zeros and the library then
// fails on the nonsense (bad chunk, bad checksum) instead of us guessing.
void ReadFromMemory(png_structp png, png_bytep out, png_size_t length)
{
    auto* state = static_cast<PngDecode*>(png_get_io_ptr(png));
    std::memset(out, 0, length);
    const size_t remaining = state->size - state->position;
    const size_t n = length < remaining ? length : remaining;
    std::memcpy(out, state->data + state->position, n);
    state->position += n;
}

// Decoding errors are never shown or logged: jump back and report failure.
void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

bool Decode(png_structp png, png_infop info, PngDecode* state)
{
    if (setjmp(png_jmpbuf(png))) return false;

    png_set_read_fn(png, state, ReadFromMemory);
    png_set_user_limits(png, MaxPngSide, MaxPngSide);
    png_read_info(png, info);

    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    const int colourType = png_get_color_type(png, info);
    const int depth = png_get_bit_depth(png, info);
    if (width == 0 || height == 0 || uint64_t(width) * height > MaxPngPixels) return false;

    const bool hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (colourType == PNG_COLOR_TYPE_PALETTE) png_set_expand(png);
    if (colourType == PNG_COLOR_TYPE_GRAY && depth < 8) png_set_expand(png);
    if (hasTransparency) png_set_tRNS_to_alpha(png);
    if (depth == 16) png_set_strip_16(png);
    if (depth < 8) png_set_packing(png);
    if (colourType == PNG_COLOR_TYPE_GRAY || colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    // Four bytes per pixel in the order alpha, red, green, blue.
    if ((colourType & PNG_COLOR_MASK_ALPHA) || hasTransparency)
        png_set_swap_alpha(png);
    else
        png_set_filler(png, 0xFF, PNG_FILLER_BEFORE);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t(width) * 4) return false;

    Surface* target = state->dest;
    if (target) {
        target->resize(static_cast<int32_t>(width), static_cast<int32_t>(height));
    } else {
        state->created = new (std::nothrow) MemorySurface(static_cast<int32_t>(width), static_cast<int32_t>(height));
        target = state->created;
        if (!target) return false;
    }
    if (!target->bits() || target->width() != int32_t(width) || target->height() != int32_t(height) ||
        target->rowSpan() < int32_t(width))
        return false;

    state->rows.resize(height);
    for (png_uint_32 i = 0; i < height; ++i)
        state->rows[i] = reinterpret_cast<png_bytep>(target->bits() + size_t(i) * target->rowSpan());
    png_read_image(png, state->rows.data());

    // The bytes in memory are a, r, g, b; make each pixel the 0xAARRGGBB value.
    for (png_uint_32 i = 0; i < height; ++i) {
        uint32_t* p = target->bits() + size_t(i) * target->rowSpan();
        for (png_uint_32 j = 0; j < width; ++j) {
            const uint8_t* b = reinterpret_cast<const uint8_t*>(p + j);
            p[j] = uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3];
        }
    }
    return true;
}

}  // namespace

Surface* DecodePng(const void* data, size_t size, Surface* dest)
{
    if (!data || size < 8 || png_sig_cmp(static_cast<png_const_bytep>(data), 0, 8) != 0)
        return nullptr;

    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
    if (!png) return nullptr;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return nullptr;
    }

    PngDecode state;
    state.data = static_cast<const uint8_t*>(data);
    state.size = size;
    state.dest = dest;
    bool ok = false;
    try {
        ok = Decode(png, info, &state);
    } catch (...) {
        // Out of memory for the rows or the surface: a failed decode like any other.
    }
    png_destroy_read_struct(&png, &info, nullptr);

    if (!ok) {
        delete state.created;
        return nullptr;
    }
    return dest ? dest : state.created;
}
