#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <memory>

#include "analyser/BandGraphControl.h"
#include "graphics/Graphics.h"

namespace {

const Colour kRed(255, 255, 0, 0);
const Colour kGreen(255, 0, 255, 0);
const Blend kCopy(BlendKind::Copy, 1.0f);

template <typename Array, typename T>
void Fill(Array& array, std::initializer_list<T> values)
{
    array.Resize(static_cast<int>(values.size()), false);
    int i = 0;
    for (T v : values) array[i++] = v;
}

SampleBuffer Samples(std::initializer_list<double> values)
{
    SampleBuffer b;
    Fill(b, values);
    return b;
}

FloatArray Floats(std::initializer_list<float> values)
{
    FloatArray a;
    Fill(a, values);
    return a;
}

// A small editor surface to draw graphs into and count what they left.
struct Canvas {
    std::unique_ptr<Graphics> graphics;
    Canvas(int w, int h) : graphics(CreateGraphics(nullptr, w, h, 24.0)) { graphics->CreateSurface(); }
    int Count(const Colour& c) const
    {
        int n = 0;
        for (int y = 0; y < graphics->Height(); ++y)
            for (int x = 0; x < graphics->Width(); ++x) n += graphics->GetPixel(x, y) == c;
        return n;
    }
    int CountInColumn(const Colour& c, int x) const
    {
        int n = 0;
        for (int y = 0; y < graphics->Height(); ++y) n += graphics->GetPixel(x, y) == c;
        return n;
    }
    int Drawn() const { return graphics->Width() * graphics->Height() - Count(graphics->GetPixel(-1, -1)); }
};

}  // namespace

TEST(GraphControl, StartsHiddenAndAnyDataShowsIt)
{
    GraphControl graph(nullptr, Rect(10, 20, 110, 70), kRed, kCopy, false);
    EXPECT_TRUE(graph.IsHidden());
    EXPECT_EQ(graph.ParamIdx(), -1);
    graph.SetClean();
    graph.SetValues(Samples({0.5}), nullptr, true);
    EXPECT_FALSE(graph.IsHidden());
    EXPECT_TRUE(graph.IsDirty());
    graph.ClearPoints(nullptr);
    EXPECT_TRUE(graph.IsHidden());
}

TEST(GraphControl, MappingRules)
{
    // left 10, bottom 70, width 100, height 50
    GraphControl graph(nullptr, Rect(10, 20, 110, 70), kRed, kCopy, false);
    graph.SetPoints(Samples({0.0, 0.5, 1.0}), Samples({0.0, 0.5, 1.0}), nullptr, true);
    const FloatArray& x = graph.XPositions();
    const FloatArray& y = graph.YPositions();
    ASSERT_EQ(x.Size(), 3);
    EXPECT_FLOAT_EQ(x[0], 10.0f);
    EXPECT_FLOAT_EQ(x[1], 60.0f);
    EXPECT_FLOAT_EQ(x[2], 110.0f);
    EXPECT_FLOAT_EQ(y[0], 70.0f);  // 0 at the bottom edge
    EXPECT_FLOAT_EQ(y[1], 45.0f);
    EXPECT_FLOAT_EQ(y[2], 20.0f);  // 1 at the top

    graph.SetPoints(Floats({3.0f}), Floats({4.0f}), nullptr, false);
    EXPECT_EQ(graph.XPositions().Size(), 1);
    EXPECT_FLOAT_EQ(graph.YPositions()[0], 4.0f);

    // The band maps about the centre (45): the first curve downwards, the second upwards.
    BandGraphControl band(nullptr, Rect(10, 20, 110, 70), kRed, true, kCopy, false);
    band.SetBand(Samples({0.0, 1.0, -1.0}), Samples({0.0, 1.0, -1.0}), nullptr, true);
    EXPECT_FLOAT_EQ(band.FirstCurve()[0], 45.0f);
    EXPECT_FLOAT_EQ(band.FirstCurve()[1], 70.0f);
    EXPECT_FLOAT_EQ(band.FirstCurve()[2], 20.0f);
    EXPECT_FLOAT_EQ(band.SecondCurve()[0], 45.0f);
    EXPECT_FLOAT_EQ(band.SecondCurve()[1], 20.0f);
    EXPECT_FLOAT_EQ(band.SecondCurve()[2], 70.0f);

    // SetValues on a band mirrors the mapped first curve about the middle (top + bottom = 90).
    band.SetValues(Floats({0.5f, -0.2f}), nullptr, true);
    ASSERT_EQ(band.SecondCurve().Size(), 2);
    EXPECT_FLOAT_EQ(band.FirstCurve()[0], 57.5f);
    EXPECT_FLOAT_EQ(band.SecondCurve()[0], 32.5f);
    EXPECT_FLOAT_EQ(band.FirstCurve()[1] + band.SecondCurve()[1], 90.0f);
}

TEST(GraphControl, ClampHoldsPointsInsideTheRectangle)
{
    GraphControl graph(nullptr, Rect(10, 20, 110, 70), kRed, kCopy, false);
    graph.SetClamp(true);
    graph.SetPoints(Samples({-5.0, 200.0, 50.0}), Samples({-1.0, 500.0, 30.0}), nullptr, false);
    EXPECT_FLOAT_EQ(graph.XPositions()[0], 10.0f);
    EXPECT_FLOAT_EQ(graph.XPositions()[1], 110.0f);
    EXPECT_FLOAT_EQ(graph.XPositions()[2], 50.0f);
    EXPECT_FLOAT_EQ(graph.YPositions()[0], 20.0f);
    EXPECT_FLOAT_EQ(graph.YPositions()[1], 70.0f);
    EXPECT_FLOAT_EQ(graph.YPositions()[2], 30.0f);
}

TEST(GraphControl, SpreadXSpansTheWidth)
{
    GraphControl graph(nullptr, Rect(10, 20, 110, 70), kRed, kCopy, false);
    graph.SetValues(Floats({1, 2, 3, 4, 5}), nullptr, false);
    graph.SpreadX();
    ASSERT_EQ(graph.XPositions().Size(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(graph.XPositions()[i], 10.0f + 25.0f * i);
    // Already one x per point: left alone.
    graph.XPositions()[2] = 7.0f;
    graph.SpreadX();
    EXPECT_FLOAT_EQ(graph.XPositions()[2], 7.0f);
    // One point has no spacing to divide by.
    graph.SetValues(Floats({9}), nullptr, false);
    graph.SpreadX();
    ASSERT_EQ(graph.XPositions().Size(), 1);
    EXPECT_FLOAT_EQ(graph.XPositions()[0], 10.0f);
}

TEST(GraphControl, FilledGraphFillsDownToTheBottom)
{
    Canvas canvas(20, 10);
    FilledGraphControl graph(nullptr, Rect(0, 0, 20, 10), kGreen, true, kCopy, false);
    graph.SetGraphColours(kRed, kGreen);
    graph.SetValues(Floats({5, 5}), nullptr, false);
    EXPECT_TRUE(graph.Draw(*canvas.graphics));
    // Columns 0..20 (20 lies outside), rows 5..9; the edge covers row 5.
    EXPECT_EQ(canvas.Count(kRed), 20);
    EXPECT_EQ(canvas.Count(kGreen), 80);
    EXPECT_EQ(canvas.Drawn(), 100);
}

TEST(GraphControl, BandGraphFillsBetweenItsCurves)
{
    Canvas canvas(20, 10);
    BandGraphControl graph(nullptr, Rect(0, 0, 20, 10), kGreen, true, kCopy, false);
    graph.SetGraphColours(kRed, kGreen);
    graph.SetBand(Floats({2, 2}), Floats({7, 7}), nullptr, false);
    graph.Draw(*canvas.graphics);
    EXPECT_EQ(canvas.Count(kRed), 40);   // rows 2 and 7
    EXPECT_EQ(canvas.Count(kGreen), 80);  // rows 3..6
}

TEST(GraphControl, FillsOnlyWholeColumnsInsideEachSegment)
{
    Canvas canvas(20, 10);
    FilledGraphControl graph(nullptr, Rect(0, 0, 20, 10), kGreen, true, kCopy, false);
    graph.SetGraphColours(kRed, kGreen);
    // The first segment holds no whole column: only its edge is drawn.
    graph.SetPoints(Floats({2.2f, 2.8f, 5.0f}), Floats({5, 5, 5}), nullptr, false);
    graph.Draw(*canvas.graphics);
    EXPECT_EQ(canvas.CountInColumn(kGreen, 2), 0);
    for (int c = 3; c <= 5; ++c) EXPECT_EQ(canvas.CountInColumn(kGreen, c), 4) << c;
    EXPECT_EQ(canvas.CountInColumn(kGreen, 6), 0);
}

TEST(GraphControl, TooFewOrBrokenPointsDrawNothing)
{
    Canvas canvas(20, 10);
    FilledGraphControl filled(nullptr, Rect(0, 0, 20, 10), kGreen, true, kCopy, true);
    filled.SetValues(Floats({5}), nullptr, false);
    filled.Draw(*canvas.graphics);
    EXPECT_EQ(canvas.Drawn(), 0);

    // A value that is no number breaks both of its segments.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    filled.SetValues(Floats({5, nan, 5}), nullptr, false);
    filled.Draw(*canvas.graphics);
    EXPECT_EQ(canvas.Drawn(), 0);
    // In a band only what touches the broken point goes: the first curve's edge stays.
    Canvas bandCanvas(20, 10);
    BandGraphControl band(nullptr, Rect(0, 0, 20, 10), kGreen, true, kCopy, false);
    band.SetGraphColours(kRed, kGreen);
    band.SetBand(Floats({1, 2, 2}), Floats({std::numeric_limits<float>::infinity(), 8, 8}), nullptr, false);
    band.Draw(*bandCanvas.graphics);
    EXPECT_EQ(bandCanvas.CountInColumn(kRed, 5), 1);
    EXPECT_EQ(bandCanvas.CountInColumn(kGreen, 5), 0);
    EXPECT_GT(bandCanvas.CountInColumn(kGreen, 15), 0);

    // A plain graph with values but no x positions has nothing to draw.
    GraphControl plain(nullptr, Rect(0, 0, 20, 10), kRed, kCopy, false);
    plain.SetValues(Floats({1, 2, 3}), nullptr, false);
    Canvas empty(20, 10);
    plain.Draw(*empty.graphics);
    EXPECT_EQ(empty.Drawn(), 0);
}
