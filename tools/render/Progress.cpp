#include "tools/render/Progress.h"

#include <unistd.h>

#include <algorithm>

#include "tools/render/NumberText.h"

Progress::Mode Progress::ModeFor(FILE* out, bool quiet)
{
    if (quiet) return Mode::kQuiet;
    return isatty(fileno(out)) ? Mode::kBar : Mode::kSummary;
}

Progress::Progress(FILE* out, Mode m, std::string fileName, int64_t frames, double seconds)
    : stream(out),
      mode(m),
      name(std::move(fileName)),
      totalFrames(std::max<int64_t>(frames, 1)),
      audioSeconds(seconds),
      start(std::chrono::steady_clock::now()),
      lastDrawn(start)
{
}

double Progress::Elapsed() const
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void Progress::Update(int64_t frames, double seconds)
{
    if (mode != Mode::kBar) return;
    const auto now = std::chrono::steady_clock::now();
    // A few redraws a second are enough to read and cost nothing beside the rendering.
    if (barShown && now - lastDrawn < std::chrono::milliseconds(100)) return;
    lastDrawn = now;
    DrawBar(frames, seconds);
}

void Progress::DrawBar(int64_t frames, double seconds)
{
    constexpr int kWidth = 30;
    const double part = std::min(1.0, static_cast<double>(frames) / static_cast<double>(totalFrames));
    const int filled = static_cast<int>(part * kWidth);
    char bar[kWidth + 1];
    for (int i = 0; i < kWidth; ++i) bar[i] = i < filled ? '#' : '-';
    bar[kWidth] = '\0';
    const double elapsed = Elapsed();
    const double speed = elapsed > 0.0 ? seconds / elapsed : 0.0;
    std::fprintf(stream, "\r[%s] %3d%%  frame %lld/%lld  %sx real time ", bar, static_cast<int>(part * 100.0),
                 static_cast<long long>(frames), static_cast<long long>(totalFrames), WriteDecimal(speed, 1).c_str());
    std::fflush(stream);
    barShown = true;
}

void Progress::Abandon()
{
    if (mode == Mode::kBar && barShown) {
        std::fputs("\r\033[K", stream);
        std::fflush(stream);
        barShown = false;
    }
}

void Progress::Finish(int64_t frames, double seconds, int64_t pictures)
{
    if (mode == Mode::kQuiet) return;
    if (mode == Mode::kBar) {
        DrawBar(frames, seconds);
        std::fputc('\n', stream);
        std::fflush(stream);
        return;
    }
    const double elapsed = Elapsed();
    std::fprintf(stream, "%s: %lld frames, %s s of audio in %s s (%sx real time), %lld picture%s written\n",
                 name.c_str(), static_cast<long long>(frames), WriteDecimal(seconds, 1).c_str(),
                 WriteDecimal(elapsed, 2).c_str(), WriteDecimal(elapsed > 0.0 ? seconds / elapsed : 0.0, 1).c_str(),
                 static_cast<long long>(pictures), pictures == 1 ? "" : "s");
}
