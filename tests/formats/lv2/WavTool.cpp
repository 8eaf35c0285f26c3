// Makes the stereo test signal the LV2 audio test sends through the plug-in, and compares
// two sound files sample for sample, bit for bit.
//   WavTool make FILE FRAMES RATE
//   WavTool same FILE FILE
#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

// Sines, noise and the values a careless conversion would alter: negative zero, the
// smallest subnormal, the largest finite value, and full scale both ways.
std::vector<float> Signal(int frames, int rate)
{
    std::vector<float> samples(static_cast<size_t>(frames) * 2);
    uint32_t seed = 12345;
    const float special[] = {-0.0f, std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min(),
                             1.0f, -1.0f, std::numeric_limits<float>::max(), 0.999999940f, 1.0e-30f};
    for (int i = 0; i < frames; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const float noise = static_cast<float>(static_cast<int32_t>(seed)) / 2147483648.0f;
        samples[2 * i] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * 997.0 * i / rate)) + 0.01f * noise;
        samples[2 * i + 1] = i % 97 < 8 ? special[i % 97] : noise;
    }
    return samples;
}

bool Read(const char* path, SF_INFO& info, std::vector<float>& samples)
{
    std::memset(&info, 0, sizeof info);
    SNDFILE* file = sf_open(path, SFM_READ, &info);
    if (!file) {
        std::fprintf(stderr, "cannot read %s: %s\n", path, sf_strerror(nullptr));
        return false;
    }
    samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    const sf_count_t got = sf_readf_float(file, samples.data(), info.frames);
    sf_close(file);
    return got == info.frames;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "make") == 0) {
        const int frames = std::atoi(argv[3]);
        const int rate = std::atoi(argv[4]);
        SF_INFO info = {};
        info.samplerate = rate;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
        SNDFILE* file = sf_open(argv[2], SFM_WRITE, &info);
        if (!file) return 1;
        const std::vector<float> samples = Signal(frames, rate);
        const sf_count_t wrote = sf_writef_float(file, samples.data(), frames);
        sf_close(file);
        return wrote == frames ? 0 : 1;
    }
    if (argc == 4 && std::strcmp(argv[1], "same") == 0) {
        SF_INFO a = {}, b = {};
        std::vector<float> x, y;
        if (!Read(argv[2], a, x) || !Read(argv[3], b, y)) return 1;
        if (a.channels != b.channels || a.frames != b.frames || a.samplerate != b.samplerate) {
            std::fprintf(stderr, "FAIL: shape differs: %d ch %lld frames %d Hz against %d ch %lld frames %d Hz\n",
                         a.channels, static_cast<long long>(a.frames), a.samplerate, b.channels,
                         static_cast<long long>(b.frames), b.samplerate);
            return 1;
        }
        for (size_t i = 0; i < x.size(); ++i) {
            if (std::memcmp(&x[i], &y[i], sizeof(float)) != 0) {
                std::fprintf(stderr, "FAIL: sample %zu channel %zu: %.9g against %.9g\n", i / a.channels,
                             i % a.channels, x[i], y[i]);
                return 1;
            }
        }
        std::printf("%lld frames of %d channels identical\n", static_cast<long long>(a.frames), a.channels);
        return 0;
    }
    std::fprintf(stderr, "usage: WavTool make FILE FRAMES RATE | WavTool same FILE FILE\n");
    return 2;
}
