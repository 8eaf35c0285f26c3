// Where quillograph-render spends its time: one timer period of audio through the plug-in's
// audio path, the redraw of each display that follows it, and writing a frame as PNG at the
// compression levels the tool uses (1 for frames and series, 6 for single pictures).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <string>
#include <vector>

#include "tools/render/EditorRig.h"
#include "tools/render/PictureFile.h"

namespace {

constexpr int kRate = 48000;
constexpr int kPeriod = 41 * kRate / 1000;  // samples per timer period

// A rig showing one display, fed with a chord and a slow sweep.
struct Player {
    std::unique_ptr<EditorRig> rig;
    std::vector<double> left, right;
    long n = 0;

    explicit Player(int domain) : rig(EditorRig::Make(kRate, 512)), left(kPeriod), right(kPeriod)
    {
        rig->SetParameter(0, domain);
        rig->Tick();
        for (int i = 0; i < 30; ++i) Period(true);
    }
    void Fill()
    {
        for (int i = 0; i < kPeriod; ++i, ++n) {
            const double t = static_cast<double>(n) / kRate;
            left[i] = 0.3 * std::sin(2 * M_PI * 220 * t) + 0.2 * std::sin(2 * M_PI * (200 + 40 * t) * t);
            right[i] = 0.3 * std::sin(2 * M_PI * 330 * t) + 0.1 * std::sin(2 * M_PI * 9000 * t);
        }
    }
    void Period(bool draw)
    {
        Fill();
        rig->Process(left.data(), right.data(), kPeriod);
        if (draw) rig->Tick();
    }
};

void AudioPath(benchmark::State& state)
{
    Player player(1);
    for (auto _ : state) {
        state.PauseTiming();
        player.Fill();
        player.rig->Tick();  // keeps the staging buffers from filling up
        state.ResumeTiming();
        player.rig->Process(player.left.data(), player.right.data(), kPeriod);
    }
}

void Redraw(benchmark::State& state)
{
    Player player(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        player.Period(false);
        state.ResumeTiming();
        player.rig->Tick();
    }
}

void WritePng(benchmark::State& state)
{
    Player player(static_cast<int>(state.range(0)));
    const Picture picture{player.rig->Width(), player.rig->Height(), player.rig->Pixels()};
    const std::string path = "/tmp/quillograph-bench-" + std::to_string(getpid()) + ".png";
    std::string error;
    for (auto _ : state)
        if (!WritePictureFile(picture, path, static_cast<int>(state.range(1)), error))
            state.SkipWithError(error.c_str());
    unlink(path.c_str());
}

}  // namespace

BENCHMARK(AudioPath);
BENCHMARK(Redraw)->DenseRange(0, 3)->ArgName("domain");
BENCHMARK(WritePng)->ArgsProduct({{1, 3}, {1, 6}})->ArgNames({"domain", "level"});
