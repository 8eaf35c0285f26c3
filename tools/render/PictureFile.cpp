#include "tools/render/PictureFile.h"

#include <png.h>
#include <zlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <iterator>
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

// The picture's colours when there are at most 256 of them: most frames have few (the
// background mixed towards one colour, the grid, the caption), and one byte a pixel
// leaves a third of the work to the compressor.
class ColourIndex {
public:
    // Sets fits: false when the picture has more than 256 colours.
    void Build(const Picture& picture) { fits = Index(picture); }

    bool fits = false;
    std::vector<uint32_t> colours;
    std::vector<uint8_t> indices;

private:
    static constexpr uint32_t kSlots = 1024;  // a power of two, four times the most colours kept
    uint32_t slots[kSlots];                   // the colour with bit 24 set; 0 is an empty slot
    uint8_t slotIndex[kSlots];                // its place in colours

    bool Index(const Picture& picture)
    {
        std::fill(std::begin(slots), std::end(slots), 0u);
        colours.clear();
        indices.resize(picture.pixels.size());
        uint32_t last = 0;
        int lastIndex = -1;
        for (size_t i = 0; i < picture.pixels.size(); ++i) {
            const uint32_t rgb = picture.pixels[i] & 0xFFFFFFu;
            if (lastIndex < 0 || rgb != last) {
                lastIndex = Find(rgb);
                if (lastIndex < 0) return false;
                last = rgb;
            }
            indices[i] = static_cast<uint8_t>(lastIndex);
        }
        return true;
    }

    int Find(uint32_t rgb)
    {
        const uint32_t key = rgb | 1u << 24;
        uint32_t slot = (rgb * 2654435761u) >> 22;
        for (; slots[slot] != 0; slot = (slot + 1) & (kSlots - 1))
            if (slots[slot] == key) return slotIndex[slot];
        if (colours.size() == 256) return -1;
        slots[slot] = key;
        slotIndex[slot] = static_cast<uint8_t>(colours.size());
        colours.push_back(rgb);
        return slotIndex[slot];
    }
};

bool Encode(FILE* file, const Picture& picture, int level)
{
    std::vector<uint8_t> row(static_cast<size_t>(picture.width) * 3);
    // Kept between frames so that its tables are not made anew for each; read after the
    // jump point through the object, which a longjmp cannot clobber.
    static thread_local ColourIndex index;
    index.Build(picture);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, file);
    png_set_compression_level(png, level);
    // At fast levels, run-length matching is quicker and smaller than the adaptive filters
    // on these flat pictures: unfiltered for indices, the left-neighbour filter for the
    // dense colour pictures (a spectrogram shrinks by two fifths, and compresses faster).
    if (level <= 3) {
        png_set_filter(png, PNG_FILTER_TYPE_BASE, index.fits ? PNG_FILTER_NONE : PNG_FILTER_SUB);
        png_set_compression_strategy(png, Z_RLE);
    }
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 index.fits ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (index.fits) {
        png_color entries[256];
        for (size_t i = 0; i < index.colours.size(); ++i)
            entries[i] = png_color{static_cast<png_byte>(index.colours[i] >> 16),
                                   static_cast<png_byte>(index.colours[i] >> 8), static_cast<png_byte>(index.colours[i])};
        png_set_PLTE(png, info, entries, static_cast<int>(index.colours.size()));
    }
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) {
        if (index.fits) {
            png_write_row(png, &index.indices[static_cast<size_t>(y) * picture.width]);
            continue;
        }
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
