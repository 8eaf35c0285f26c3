#include "tools/testhost/DisplayChecks.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "tools/testhost/EditorHost.h"
#include "tools/testhost/PluginInstance.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRate = 44100.0;
constexpr int kWidth = 232, kHeight = 96;
// Rows 0 - 10 hold the frequency labels and the v-scale caption; nothing is measured there
// except where a display's own picture is expected.
constexpr int kBelowLabels = 11;
constexpr DWORD kTimerPeriod = 41;

int Red(uint32_t p) { return static_cast<int>(p >> 16 & 255); }
int Green(uint32_t p) { return static_cast<int>(p >> 8 & 255); }

// The fill colour (220, 220, 100) of the intensity displays at a useful strength, or beyond
// it towards white: unlike the grey grid (80) and the blue captions.
bool Lit(uint32_t p) { return Red(p) > 100; }

// An independent copy of the analyser's logarithmic axis: the position of a frequency on
// the axis of a size-point frame.
int LogAxisPosition(double hz, int size)
{
    const int bin = static_cast<int>(size / kRate * hz + 0.5);
    const int h = size / 2;
    const double logHalf = std::log(static_cast<double>(h));
    return static_cast<int>(h - std::exp(logHalf - bin * logHalf / (h - 1)) + 0.5);
}

// The display column (or grid row) whose stretch of a band's axis holds `position`, for a
// band from 0 Hz to 18 kHz resampled onto `count` columns.
int BandColumn(double hz, int size, int count)
{
    const int low = LogAxisPosition(0.0, size), high = LogAxisPosition(18000.0, size);
    const double c = static_cast<double>(high - low) / count;
    const int p = LogAxisPosition(hz, size) - low;
    for (int i = 0; i < count; ++i)
        if (p < static_cast<int>((i + 1) * c)) return i;
    return count - 1;
}

EditorHost::Signal Tone(double hz, double amplitude, double left, double right)
{
    return [=](long n, float& l, float& r) {
        const double v = amplitude * std::sin(2 * kPi * hz * static_cast<double>(n) / kRate);
        l = static_cast<float>(v * left);
        r = static_cast<float>(v * right);
    };
}

EditorHost::Signal Constant(float c)
{
    return [=](long, float& l, float& r) { l = r = c; };
}

class DisplayRig {
public:
    DisplayRig(PluginInstance& p, EditorHost& host, std::string pngPrefix, Report& report)
        : p(p), host(host), pngPrefix(std::move(pngPrefix)), report(report)
    {
    }

    // Plays the signal until it fills the 24000-sample history, then shows the display in
    // the 0 - 18 kHz band and lets the editor's timer redraw it several times.
    bool Show(int domain, const EditorHost::Signal& signal, const std::string& name, Capture& picture)
    {
        host.SetSignal(signal);
        PumpBlocks(64);
        p->setParameter(p.get(), 0, static_cast<float>(domain / 3.0));
        p->setParameter(p.get(), 2, 0.0f);
        PumpBlocks(32);
        host.Pump(kTimerPeriod * 6);
        const bool captured = host.CaptureEditor(picture) && picture.width == kWidth && picture.height == kHeight;
        if (captured && !pngPrefix.empty()) EditorHost::WritePng(picture, pngPrefix + "-" + name + ".png");
        return report.Check(captured, "\"" + name + "\" captured from the screen");
    }

private:
    // Waits for `count` more audio blocks of 441 samples, or three times their playing time.
    void PumpBlocks(long count)
    {
        const long target = host.BlocksFed() + count;
        const DWORD start = GetTickCount();
        while (host.BlocksFed() < target && GetTickCount() - start < static_cast<DWORD>(count) * 30)
            host.Pump(kTimerPeriod);
    }

    PluginInstance& p;
    EditorHost& host;
    std::string pngPrefix;
    Report& report;
};

void CheckTime(DisplayRig& rig, Report& report)
{
    // A constant 0.25 is a band of zero height at row 48 - 48 * 0.25 = 36: only the edge shows.
    Capture picture;
    if (!rig.Show(0, Constant(0.25f), "time", picture)) return;
    int onRow = 0, columns = 0;
    for (int x = 20; x < 210; ++x, ++columns) {
        int first = -1, last = -1;
        for (int y = kBelowLabels; y < kHeight; ++y) {
            const uint32_t px = picture.At(x, y);
            if (Red(px) > 100 && Green(px) > 100) {
                if (first < 0) first = y;
                last = y;
            }
        }
        onRow += first >= 34 && last <= 38;
    }
    report.Check(onRow == columns, "\"time\": a constant 0.25 is drawn on rows 34 - 38 only in " +
                                       std::to_string(onRow) + " of " + std::to_string(columns) + " columns");
}

void CheckFreq(DisplayRig& rig, Report& report)
{
    // 1 kHz at -26 dB in the 0 - 18 kHz band: a narrow peak, below the top, at the column of
    // its stretch of the logarithmic axis.
    Capture picture;
    if (!rig.Show(1, Tone(1000.0, 0.05, 1, 1), "freq", picture)) return;
    std::vector<int> top(kWidth, kHeight);
    int highest = kHeight;
    for (int x = 0; x < kWidth; ++x) {
        for (int y = kBelowLabels; y < kHeight; ++y)
            if (Red(picture.At(x, y)) > 120) {
                top[static_cast<size_t>(x)] = y;
                break;
            }
        if (top[static_cast<size_t>(x)] < highest) highest = top[static_cast<size_t>(x)];
    }
    int first = -1, last = -1;
    for (int x = 0; x < kWidth; ++x)
        if (top[static_cast<size_t>(x)] == highest) {
            if (first < 0) first = x;
            last = x;
        }
    const double peak = (first + last) * 0.5;
    const double expected = BandColumn(1000.0, 8192, kWidth) * 232.0 / 231.0;
    // Away from the tone the curve lies far lower.
    bool alone = true;
    for (int x = 0; x < kWidth; ++x)
        if (std::fabs(x - peak) > 24 && top[static_cast<size_t>(x)] < highest + 20) alone = false;
    char text[200];
    std::snprintf(text, sizeof text,
                  "\"freq\": 1 kHz peaks at column %.1f (expected %.1f) on row %d, the curve far lower elsewhere",
                  peak, expected, highest);
    report.Check(first >= 0 && std::fabs(peak - expected) <= 3.0 && highest > kBelowLabels && highest < 90 &&
                     last - first <= 8 && alone,
                 text);
}

// What the phase display lights for one signal: pixels on the expected line and pixels off
// it. The grey axes lie on exactly these lines and may cover the trace where they cross it.
struct LineCount {
    int on = 0;
    int off = 0;
};

LineCount CountLit(const Capture& picture, bool (*onLine)(int dx, int dy))
{
    LineCount count;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            if (Lit(picture.At(x, y))) (onLine(x - 116, y - 48) ? count.on : count.off)++;
    return count;
}

void CheckPhase(DisplayRig& rig, Report& report)
{
    // One channel alone: a diagonal, upper left to lower right for the left channel and lower
    // left to upper right for the right one.
    Capture picture;
    if (rig.Show(2, Tone(700.0, 0.5, 1, 0), "phase-left", picture)) {
        const LineCount c = CountLit(picture, [](int dx, int dy) { return std::abs(dx - dy) <= 2; });
        report.Check(c.on >= 8 && c.off == 0, "\"phase\": a tone on the left channel lies on the falling diagonal (" +
                                                  std::to_string(c.on) + " pixels on it, " + std::to_string(c.off) + " off)");
    }
    if (rig.Show(2, Tone(700.0, 0.5, 0, 1), "phase-right", picture)) {
        const LineCount c = CountLit(picture, [](int dx, int dy) { return std::abs(dx + dy) <= 2; });
        report.Check(c.on >= 8 && c.off == 0, "\"phase\": a tone on the right channel lies on the rising diagonal (" +
                                                  std::to_string(c.on) + " pixels on it, " + std::to_string(c.off) + " off)");
    }
    // Mono lies on the centre column, opposite channels on the centre row: nothing strays.
    if (rig.Show(2, Tone(700.0, 0.5, 1, 1), "phase-mono", picture)) {
        const LineCount c = CountLit(picture, [](int dx, int) { return dx == 0; });
        report.Check(c.off == 0, "\"phase\": L = R lights nothing off column 116 (" + std::to_string(c.on) +
                                     " pixels on it, " + std::to_string(c.off) + " off)");
    }
    if (rig.Show(2, Tone(700.0, 0.5, 1, -1), "phase-opposite", picture)) {
        const LineCount c = CountLit(picture, [](int, int dy) { return dy == 0; });
        report.Check(c.off == 0, "\"phase\": L = -R lights nothing off row 48 (" + std::to_string(c.on) +
                                     " pixels on it, " + std::to_string(c.off) + " off)");
    }
}

// The screen row of the spectrogram that is brightest over the newest columns (the middle
// of a saturated run), or -1.
int BrightestRow(const Capture& picture)
{
    std::vector<int> sum(kHeight, 0);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 120; x < 210; ++x) sum[static_cast<size_t>(y)] += Red(picture.At(x, y));
    int best = 0;
    for (int y = 1; y < kHeight; ++y)
        if (sum[static_cast<size_t>(y)] > sum[static_cast<size_t>(best)]) best = y;
    int last = best;
    while (last + 1 < kHeight && sum[static_cast<size_t>(last + 1)] == sum[static_cast<size_t>(best)]) ++last;
    return sum[static_cast<size_t>(best)] > 0 ? (best + last) / 2 : -1;
}

void CheckSpectro(DisplayRig& rig, Report& report)
{
    // Steady tones clear of the grid lines light the row of their stretch of the axis,
    // counted from the bottom.
    for (double hz : {3000.0, 12000.0}) {
        Capture picture;
        const std::string name = hz < 5000 ? "spectro-3k" : "spectro-12k";
        if (!rig.Show(3, Tone(hz, 0.05, 1, 1), name, picture)) continue;
        const int row = BrightestRow(picture);
        const int expected = kHeight - 1 - BandColumn(hz, 1024, kHeight);
        report.Check(row >= 0 && std::abs(row - expected) <= 2,
                     "\"spectro\": " + std::to_string(static_cast<int>(hz)) + " Hz is brightest on row " +
                         std::to_string(row) + " (expected " + std::to_string(expected) + ")");
    }
}

}  // namespace

void RunDisplayChecks(const PluginModule& module, const std::string& pngPrefix, Report& report)
{
    PluginInstance p(module.Entry());
    if (!report.Check(bool(p), "the plug-in made an instance")) return;
    p.Start(static_cast<float>(kRate));
    p->setParameter(p.get(), 1, static_cast<float>((1.0 - 0.1) / (20.0 - 0.1)));
    EditorHost host(p);
    if (!report.Check(host.Frame() != nullptr && p.Dispatch(effEditOpen, 0, 0, host.Frame()) == 1 && host.Editor(),
                      "the editor opens in our window"))
        return;
    DisplayRig rig(p, host, pngPrefix, report);
    CheckTime(rig, report);
    CheckFreq(rig, report);
    CheckPhase(rig, report);
    CheckSpectro(rig, report);
    p.Dispatch(effEditClose);
    p.Dispatch(effMainsChanged, 0, 0);
}
