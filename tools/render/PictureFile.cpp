#include "tools/render/PictureFile.h"

#include <fcntl.h>
#include <sys/random.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
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

const int kInterrupts[] = {SIGINT, SIGTERM, SIGHUP, SIGPIPE};

// The temporary file being written, for an interrupt to take away.
char pendingPath[4096];
volatile std::sig_atomic_t pending = 0;

void RemovePending(int signal)
{
    if (pending) unlink(pendingPath);
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Interrupts wait while the temporary file is registered or released, so that the handler
// neither misses our file nor removes one of the same name that is not ours.
class InterruptsHeld {
public:
    InterruptsHeld()
    {
        sigset_t set;
        sigemptyset(&set);
        for (int signal : kInterrupts) sigaddset(&set, signal);
        sigprocmask(SIG_BLOCK, &set, &saved);
    }
    ~InterruptsHeld() { sigprocmask(SIG_SETMASK, &saved, nullptr); }

private:
    sigset_t saved;
};

// A name beside path that cannot be foreseen, so nobody can lay anything there in advance.
std::string TemporaryName(const std::string& path)
{
    uint64_t random = 0;
    if (getrandom(&random, sizeof random, GRND_NONBLOCK) != static_cast<ssize_t>(sizeof random))
        random = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                 static_cast<uint64_t>(getpid()) << 40;
    char tail[32];
    std::snprintf(tail, sizeof tail, ".part-%016llx", static_cast<unsigned long long>(random));
    return path + tail;
}

// A new file of our own beside path: never an existing name, never through a link. Its
// permissions are the user's usual ones for new files (0666 less the umask).
int CreateTemporary(const std::string& path, std::string& temporary)
{
    for (int attempt = 0; attempt < 8; ++attempt) {
        temporary = TemporaryName(path);
        InterruptsHeld held;
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            if (temporary.size() < sizeof pendingPath) {
                std::memcpy(pendingPath, temporary.c_str(), temporary.size() + 1);
                pending = 1;
            }
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// Takes the temporary file away, or forgets it once it has its final name.
void Release(const std::string& temporary, bool remove)
{
    InterruptsHeld held;
    if (remove) unlink(temporary.c_str());
    pending = 0;
}

}  // namespace

bool WritePictureFile(const Picture& picture, const std::string& path, int level, std::string& error, bool durable)
{
    std::string temporary;
    const int fd = CreateTemporary(path, temporary);
    if (fd < 0) {
        error = std::strerror(errno);
        return false;
    }
    FILE* file = fdopen(fd, "wb");
    if (!file) {
        error = std::strerror(errno);
        close(fd);
        Release(temporary, true);
        return false;
    }
    // A frame's file in one write rather than several.
    std::setvbuf(file, nullptr, _IOFBF, 1 << 17);
    errno = 0;
    const bool encoded = EncodePng(file, picture.width, picture.height, false, level, [&](int32_t y) {
        return &picture.pixels[static_cast<size_t>(y) * picture.width];
    });
    int reason = 0;
    if (std::fflush(file) != 0 || std::ferror(file)) reason = errno ? errno : EIO;
    else if (durable && fsync(fd) != 0) reason = errno;
    if (std::fclose(file) != 0 && reason == 0) reason = errno;
    if (!encoded || reason != 0) {
        error = reason ? std::strerror(reason) : "cannot encode the picture";
        Release(temporary, true);
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = std::strerror(errno);
        Release(temporary, true);
        return false;
    }
    Release(temporary, false);
    return true;
}

void RemovePartialPicturesOnInterrupt()
{
    for (int signal : kInterrupts) std::signal(signal, RemovePending);
}
