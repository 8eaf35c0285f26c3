#include "tools/render/PictureFile.h"

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "graphics/ScaleBlit.h"
#include "tools/PngEncoder.h"

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
    const PixelRows from{const_cast<uint32_t*>(picture.pixels.data()), picture.width, picture.width, picture.height};
    const PixelRows to{big.pixels.data(), big.width, big.width, big.height};
    ScaleBlit(to, from, Rect(0, 0, picture.width, picture.height), factor);
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
    const bool encoded = EncodePng(file, picture.width, picture.height, false, level, [&](int32_t y) {
        return &picture.pixels[static_cast<size_t>(y) * picture.width];
    });
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
