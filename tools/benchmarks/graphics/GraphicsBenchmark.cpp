// Per-call cost of the primitives the displays lean on, at the editor's 232 x 96 size.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>

#include "graphics/Arc.h"
#include "graphics/Blit.h"
#include "graphics/Fill.h"
#include "graphics/Line.h"
#include "graphics/Pixels.h"
#include "graphics/ScaleBlit.h"
#include "graphics/SystemSurface.h"
#include "graphics/TextPainter.h"

namespace {

constexpr int Width = 232, Height = 96;

void FillRectFullView(benchmark::State& state)
{
    SystemSurface s(Width, Height);
    const Rect all(0, 0, Width, Height);
    for (auto _ : state) {
        FillRect(s, 0xFF102030u, all, RasterCopy, 1.0f);
        benchmark::DoNotOptimize(s.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Width * Height * 4);
}
BENCHMARK(FillRectFullView);

void MemsetFullView(benchmark::State& state)
{
    SystemSurface s(Width, Height);
    for (auto _ : state) {
        std::memset(s.bits(), 0x20, size_t(Width) * Height * 4);
        benchmark::DoNotOptimize(s.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Width * Height * 4);
}
BENCHMARK(MemsetFullView);

void FillRectFullViewHalfAlpha(benchmark::State& state)
{
    SystemSurface s(Width, Height);
    const Rect all(0, 0, Width, Height);
    for (auto _ : state) {
        FillRect(s, 0x80102030u, all, RasterCopy | UseSourceAlpha, 1.0f);
        benchmark::DoNotOptimize(s.bits());
    }
}
BENCHMARK(FillRectFullViewHalfAlpha);

// 232 anti-aliased lines across the view, one per column, as a curve display draws them.
void AntiAliasedLines232(benchmark::State& state)
{
    SystemSurface s(Width, Height);
    float y[Width + 1];
    for (int x = 0; x <= Width; ++x) y[x] = 48.0f + 40.0f * std::sin(float(x) * 0.11f);
    for (auto _ : state) {
        for (int x = 0; x < Width; ++x)
            DrawLine(s, 0xFF80E0FFu, float(x), y[x], float(x + 1), y[x + 1], RasterCopy | UseSourceAlpha, 1.0f, true);
        benchmark::DoNotOptimize(s.bits());
    }
}
BENCHMARK(AntiAliasedLines232);

// 232 anti-aliased lines each spanning the whole view.
void AntiAliasedLinesAcross(benchmark::State& state)
{
    SystemSurface s(Width, Height);
    for (auto _ : state) {
        for (int i = 0; i < Width; ++i)
            DrawLine(s, 0xFF80E0FFu, float(i), 0.0f, float(Width - 1 - i), 95.0f, RasterCopy | UseSourceAlpha, 0.5f, true);
        benchmark::DoNotOptimize(s.bits());
    }
}
BENCHMARK(AntiAliasedLinesAcross);

void AntiAliasedCircleRadius48(benchmark::State& state)
{
    SystemSurface s(Width, Height);
    for (auto _ : state) {
        DrawCircle(s, 0xFFFFFFFFu, 116.0f, 48.0f, 48.0f, RasterCopy | UseSourceAlpha, 0.35f, true);
        benchmark::DoNotOptimize(s.bits());
    }
}
BENCHMARK(AntiAliasedCircleRadius48);

void AntiAliasedCircleInside(benchmark::State& state)
{
    SystemSurface s(Width, Height);
    for (auto _ : state) {
        DrawCircle(s, 0xFFFFFFFFu, 116.0f, 48.0f, 40.0f, RasterCopy | UseSourceAlpha, 0.35f, true);
        benchmark::DoNotOptimize(s.bits());
    }
}
BENCHMARK(AntiAliasedCircleInside);

void SetPixelEveryPixel(benchmark::State& state)
{
    SystemSurface s(Width, Height);
    for (auto _ : state) {
        for (int y = 0; y < Height; ++y)
            for (int x = 0; x < Width; ++x) SetPixel(s, 0xFF000000u | uint32_t(x * y), x, y);
        benchmark::DoNotOptimize(s.bits());
    }
}
BENCHMARK(SetPixelEveryPixel);

void DrawTextCaption(benchmark::State& state)
{
    SystemSurface s(Width, Height);
    TextPainter painter;
    const TextStyle caption("Arial", 12, Colour(255, 0, 128, 255), TextNormal, AlignCentre, 0);
    painter.DrawText(s, caption, "1.0x", Rect(100, 2, 132, 14));  // the font is chosen once
    for (auto _ : state) {
        painter.DrawText(s, caption, "1.0x", Rect(100, 2, 132, 14));
        benchmark::DoNotOptimize(s.bits());
    }
}
BENCHMARK(DrawTextCaption);

// What one frame costs the window at each editor scale: the whole picture enlarged into the
// window's copy (at 1x the same routine is a plain row copy).
void ScaleFrame(benchmark::State& state)
{
    const int32_t scale = static_cast<int32_t>(state.range(0));
    SystemSurface s(Width, Height);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) SetPixel(s, 0xFF000000u | uint32_t(x * 977 + y * 131), x, y);
    SystemSurface window(Width * scale, Height * scale);
    const Rect all(0, 0, Width, Height);
    for (auto _ : state) {
        ScaleBlit(RowsOf(window), RowsOf(s), all, scale);
        benchmark::DoNotOptimize(window.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Width * Height * 4 * scale * scale);
}
BENCHMARK(ScaleFrame)->DenseRange(1, 4);

// The 1x copy the paint made before there were scales.
void CopyFrame1x(benchmark::State& state)
{
    SystemSurface s(Width, Height), window(Width, Height);
    for (auto _ : state) {
        Blit(&window, &s, 0, 0, nullptr, 1.0f, RasterCopy);
        benchmark::DoNotOptimize(window.bits());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * Width * Height * 4);
}
BENCHMARK(CopyFrame1x);

}  // namespace
