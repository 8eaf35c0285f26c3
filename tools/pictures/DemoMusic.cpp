// demo_music: writes a short piece of made-up music (drums, bass and electric-piano chords,
// in stereo, 48 kHz, 16-bit WAV) that the README's pictures are made from with
// quillograph-render (tools/make-readme-pictures.sh).
// Usage: demo_music OUTPUT.wav SECONDS
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 48000.0;

// Two bars of a four-chord loop at 120 beats per minute.
class Music {
public:
    void Render(long n, double& left, double& right)
    {
        const double t = n / kRate;
        const double beat = t * 2.0;
        const int beatIndex = static_cast<int>(beat);
        const double inBeat = (beat - beatIndex) / 2.0;  // seconds since the beat
        static const double roots[4] = {110.0, 87.31, 130.81, 98.0};          // A, F, C, G
        static const double chords[4][3] = {{220.0, 261.63, 329.63}, {174.61, 220.0, 261.63},
                                            {261.63, 329.63, 392.0}, {196.0, 246.94, 293.66}};
        const int chord = (beatIndex / 2) % 4;
        const double inChord = t - (beatIndex / 2) * 1.0;

        // Kick on every beat: a falling sine.
        const double kickPitch = 50.0 + 100.0 * std::exp(-inBeat * 30.0);
        kickPhase += 2 * kPi * kickPitch / kRate;
        const double kick = 0.7 * std::sin(kickPhase) * std::exp(-inBeat * 9.0);
        // Snare on beats 2 and 4, hi-hat on the off-beats.
        const double noise = Noise();
        const double snare = beatIndex % 2 == 1 ? (0.35 * noise + 0.2 * std::sin(2 * kPi * 185.0 * t)) * std::exp(-inBeat * 18.0) : 0.0;
        const double offBeat = std::fmod(t, 0.5) - 0.25;
        hatLow += 0.3 * (noise - hatLow);
        const double hat = offBeat >= 0.0 ? 0.18 * (noise - hatLow) * std::exp(-offBeat * 60.0) : 0.0;
        // Bass: the root, a little rounded off.
        const double bass = 0.35 * std::tanh(1.5 * std::sin(2 * kPi * roots[chord] * t)) * std::exp(-inBeat * 2.0);
        // Electric piano: three voices with decaying harmonics, spread across the stereo image.
        double keysL = 0.0, keysR = 0.0;
        for (int v = 0; v < 3; ++v) {
            double voice = 0.0;
            for (int h = 1; h <= 5; ++h)
                voice += std::sin(2 * kPi * chords[chord][v] * h * (1.0 + 0.0007 * v) * t) * std::exp(-inChord * (1.5 + h)) / h;
            keysL += voice * (0.8 - 0.3 * v) * 0.22;
            keysR += voice * (0.2 + 0.3 * v) * 0.22;
        }
        double l = kick + snare + 0.6 * hat + bass + keysL;
        double r = kick + snare + 1.0 * hat + bass + keysR;
        // A small room: each side hears the other a little later.
        const double echoL = delayR[pos], echoR = delayL[pos];
        delayL[pos] = l;
        delayR[pos] = r;
        pos = (pos + 1) % delayL.size();
        left = 0.8 * (l + 0.3 * echoL);
        right = 0.8 * (r + 0.3 * echoR);
    }

private:
    double Noise()
    {
        seed = seed * 1664525u + 1013904223u;
        return (seed >> 8) / double(1 << 24) * 2.0 - 1.0;
    }
    uint32_t seed = 12345;
    double kickPhase = 0.0;
    double hatLow = 0.0;
    std::vector<double> delayL = std::vector<double>(631), delayR = std::vector<double>(631);
    size_t pos = 0;
};

// Little-endian fields of a canonical WAV header.
void Put(std::FILE* f, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i) std::fputc(static_cast<int>(v >> (8 * i) & 0xFF), f);
}

}  // namespace

int main(int argc, char** argv)
{
    const double seconds = argc == 3 ? std::atof(argv[2]) : 0.0;
    if (argc != 3 || !(seconds > 0.0 && seconds < 3600.0)) {
        std::fprintf(stderr, "usage: demo_music OUTPUT.wav SECONDS\n");
        return 2;
    }
    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f) {
        std::fprintf(stderr, "cannot write %s\n", argv[1]);
        return 1;
    }
    const uint32_t frames = static_cast<uint32_t>(seconds * kRate);
    const uint32_t bytes = frames * 4;
    std::fputs("RIFF", f);
    Put(f, 36 + bytes, 4);
    std::fputs("WAVEfmt ", f);
    Put(f, 16, 4);
    Put(f, 1, 2);  // PCM
    Put(f, 2, 2);
    Put(f, static_cast<uint32_t>(kRate), 4);
    Put(f, static_cast<uint32_t>(kRate) * 4, 4);
    Put(f, 4, 2);
    Put(f, 16, 2);
    std::fputs("data", f);
    Put(f, bytes, 4);
    Music music;
    for (uint32_t n = 0; n < frames; ++n) {
        double l = 0.0, r = 0.0;
        music.Render(n, l, r);
        for (double v : {l, r}) {
            const long s = std::lround(std::fmax(-1.0, std::fmin(1.0, v)) * 32767.0);
            Put(f, static_cast<uint32_t>(static_cast<int16_t>(s)) & 0xFFFF, 2);
        }
    }
    const bool ok = std::fclose(f) == 0;
    std::printf("%s %s\n", ok ? "wrote" : "could not write", argv[1]);
    return ok ? 0 : 1;
}
