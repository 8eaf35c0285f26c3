#include "tools/render/AudioSource.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// libsndfile's messages end with a full stop and may start with its own heading.
std::string Plain(std::string text)
{
    for (const char* heading : {"System error : ", "Internal error : "})
        if (text.rfind(heading, 0) == 0) text.erase(0, std::strlen(heading));
    while (!text.empty() && (text.back() == '.' || text.back() == ' ')) text.pop_back();
    return text;
}

}  // namespace

AudioSource::~AudioSource()
{
    if (file) sf_close(file);
}

bool AudioSource::Open(const std::string& path, int left, int right, std::string& error)
{
    // The system's reason is clearer than the library's for files that cannot be opened.
    FILE* probe = std::fopen(path.c_str(), "rb");
    struct stat status = {};
    const int reason = !probe ? errno : fstat(fileno(probe), &status) == 0 && S_ISDIR(status.st_mode) ? EISDIR : 0;
    if (probe) std::fclose(probe);
    if (reason) {
        error = std::string("cannot open: ") + std::strerror(reason);
        return false;
    }
    SF_INFO info = {};
    file = sf_open(path.c_str(), SFM_READ, &info);
    if (!file) {
        error = "not audio that libsndfile can read (" + Plain(sf_strerror(nullptr)) + ")";
        return false;
    }
    rate = info.samplerate;
    channels = info.channels;
    frames = info.frames;
    if (channels <= 0) {
        error = "no audio channels";
        return false;
    }
    if (rate <= 0 || rate > kMaxSampleRate) {
        error = "unsupported sample rate " + std::to_string(rate) + " Hz (1 to 768000 Hz)";
        return false;
    }
    if (frames <= 0) {
        error = "no audio frames";
        return false;
    }
    if (left < 0) left = 0;
    if (right < 0) right = channels >= 2 ? 1 : 0;
    if (left >= channels || right >= channels) {
        error = "no channel " + std::to_string(std::max(left, right) + 1) + " (the file has " +
                std::to_string(channels) + ")";
        return false;
    }
    leftChannel = left;
    rightChannel = right;
    return true;
}

int64_t AudioSource::Read(double* left, double* right, int count, std::string& error)
{
    if (!file || count <= 0) return 0;
    const size_t need = static_cast<size_t>(count) * static_cast<size_t>(channels);
    if (interleaved.size() < need) interleaved.resize(need);
    const sf_count_t got = sf_readf_double(file, interleaved.data(), count);
    if (got < 0 || (got == 0 && sf_error(file) != SF_ERR_NO_ERROR)) {
        error = Plain(sf_strerror(file));
        return -1;
    }
    for (sf_count_t i = 0; i < got; ++i) {
        const double* frame = interleaved.data() + i * channels;
        left[i] = frame[leftChannel];
        right[i] = frame[rightChannel];
    }
    return got;
}
