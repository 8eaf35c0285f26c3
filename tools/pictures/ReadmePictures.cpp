// readme_pictures: plays a short piece of made-up music (drums, bass and electric-piano
// chords, in stereo) through the analyser natively and writes the README's pictures from the
// editor's headless window:
//   displays.png   the four displays side by side, 2 x 2, at 1x
//   editor-1x.png  the freq display with the cursor readout, at 1x
//   editor-2x.png  the same frame as the window shows it at 2x
// Usage: readme_pictures OUTPUT_FOLDER
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "analyser/AnalyserPlugin.h"
#include "graphics/GraphicsRaster.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/VstShell.h"
#include "tools/SurfacePng.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 48000.0;
constexpr int kPeriod = 2000;  // one redraw period of audio at 24 frames per second
constexpr int W = 232, H = 96;

VstIntPtr VSTCALLBACK Host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    return opcode == audioMasterSizeWindow ? 1 : 0;
}

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

struct Editor {
    AEffect* effect = VSTPluginMain(Host);
    AnalyserPlugin* plugin = static_cast<AnalyserPlugin*>(PluginCore::FromRecord(effect));
    HeadlessWindow* window = dynamic_cast<HeadlessWindow*>(plugin->GetGraphics());
    int parent = 0;

    explicit Editor(int domain)
    {
        effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
        effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, static_cast<float>(kRate));
        effect->setParameter(effect, 0, static_cast<float>(domain) / 3.0f);
        effect->dispatcher(effect, effEditOpen, 0, 0, &parent, 0.0f);
    }
    ~Editor() { effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f); }

    // Plays `seconds` of the music, one redraw per timer period.
    void Play(double seconds)
    {
        Music music;
        std::vector<double> l(kPeriod), r(kPeriod), ol(kPeriod), orr(kPeriod);
        long n = 0;
        for (long end = static_cast<long>(seconds * kRate); n < end;) {
            for (int i = 0; i < kPeriod; ++i, ++n) music.Render(n, l[i], r[i]);
            double* in[2] = {l.data(), r.data()};
            double* out[2] = {ol.data(), orr.data()};
            effect->processDoubleReplacing(effect, in, out, kPeriod);
            window->Tick();
        }
    }
};

// Copies the window's client area into `to` at (x, y), opaque.
void Place(MemorySurface& to, const HeadlessWindow& window, int x0, int y0)
{
    for (int y = 0; y < window.ClientHeight(); ++y)
        for (int x = 0; x < window.ClientWidth(); ++x)
            SurfaceRow(to, y0 + y)[x0 + x] = window.PresentedPixel(x, y) | 0xFF000000u;
}

bool Write(const MemorySurface& s, const std::string& path)
{
    const bool ok = WriteSurfacePng(s, path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", path.c_str());
    return ok;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: readme_pictures OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    constexpr int gap = 6;
    MemorySurface grid(2 * W + 3 * gap, 2 * H + 3 * gap);
    for (int y = 0; y < grid.height(); ++y)
        for (int x = 0; x < grid.width(); ++x) SurfaceRow(grid, y)[x] = 0xFF303030u;
    bool ok = true;
    // time, freq / phase, spectro; each caught on the downbeat of the third chord.
    for (int domain = 0; domain < 4; ++domain) {
        Editor e(domain);
        e.Play(2.58);
        Place(grid, *e.window, gap + (domain % 2) * (W + gap), gap + (domain / 2) * (H + gap));
        if (domain != 1) continue;
        e.window->MouseMove(138, 30, MouseKeys());
        e.window->Tick();
        MemorySurface one(W, H);
        Place(one, *e.window, 0, 0);
        ok = Write(one, folder + "/editor-1x.png") && ok;
        e.window->SetScaleChoice(2);
        e.window->Tick();
        MemorySurface two(2 * W, 2 * H);
        Place(two, *e.window, 0, 0);
        ok = Write(two, folder + "/editor-2x.png") && ok;
    }
    ok = Write(grid, folder + "/displays.png") && ok;
    return ok ? 0 : 1;
}
