#include "tools/render/PictureFile.h"

#include <png.h>
#include <zlib.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstring>

void PlacePixels(Picture& picture, const std::vector<uint32_t>& pixels, int width, int height, int x, int y)
{
    for (int row = 0; row < height; ++row)
        std::memcpy(&picture.pixels[static_cast<size_t>(y + row) * picture.width + x],
                    &pixels[static_cast<size_t>(row) * width], sizeof(uint32_t) * static_cast<size_t>(width));
}

void Enlarge(const Picture& picture, int factor, Picture& big)
{
    big.width = picture.width * factor;
    big.height = picture.height * factor;
    big.pixels.resize(static_cast<size_t>(big.width) * big.height);
    for (int y = 0; y < big.height; ++y) {
        const uint32_t* from = &picture.pixels[static_cast<size_t>(y / factor) * picture.width];
        uint32_t* to = &big.pixels[static_cast<size_t>(y) * big.width];
        for (int x = 0; x < big.width; ++x) to[x] = from[x / factor];
    }
}

namespace {

// The temporary file being written, for an interrupt to take away.
char pendingPath[4096];
volatile std::sig_atomic_t pending = 0;

void RemovePending(int signal)
{
    if (pending) unlink(pendingPath);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

bool Encode(FILE* file, const Picture& picture, int level)
{
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * 3);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, level);
    // At fast levels the left-neighbour filter and run-length matching are quicker than the
    // adaptive filters and smaller than unfiltered rows (a spectrogram by two fifths).
    if (level <= 3) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, PNG_FILTER_SUB);
        png_set_compression_strategy(png, Z_RLE);
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) {
        const uint32_t* src = &picture.pixels[static_cast<size_t>(y) * picture.width];
        for (int x = 0; x < picture.width; ++x) {
            row[3 * x + 0] = static_cast<uint8_t>(src[x] >> 16);
            row[3 * x + 1] = static_cast<uint8_t>(src[x] >> 8);
            row[3 * x + 2] = static_cast<uint8_t>(src[x]);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool WritePictureFile(const Picture& picture, const std::string& path, int level, std::string& error)
{
    const std::string temporary = path + ".part" + std::to_string(getpid());
    if (temporary.size() < sizeof pendingPath) {
        std::memcpy(pendingPath, temporary.c_str(), temporary.size() + 1);
        pending = 1;
    }
    struct Done {
        ~Done() { pending = 0; }
    } done;
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    // A frame's file in one write rather than several.
    std::setvbuf(file, nullptr, _IOFBF, 1 << 17);
    const bool encoded = Encode(file, picture, level);
    const int writeError = std::ferror(file) ? errno : 0;
    const bool closed = std::fclose(file) == 0;
    if (!encoded || !closed) {
        error = writeError ? std::strerror(writeError) : !closed ? std::strerror(errno) : "cannot encode the picture";
        std::remove(temporary.c_str());
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

void RemovePartialPicturesOnInterrupt()
{
    for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) std::signal(signal, RemovePending);
}
