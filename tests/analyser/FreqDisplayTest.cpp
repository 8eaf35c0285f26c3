#include <cmath>
#include <cstring>

#include "plugin/SafeConvert.h"
#include "tests/analyser/DisplayTestSupport.h"

namespace {

int PeakColumn(const FloatArray& curve)
{
    int best = 0;
    for (int i = 1; i < curve.Size(); ++i)
        if (curve[i] < curve[best]) best = i;  // pixels: the highest point has the smallest y
    return best;
}

}  // namespace

TEST(FreqDisplay, SilenceLiesOnTheBottomRow)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(1, Constant(0, 0)));
    const FloatArray& curve = e.View().Freq().Curve();
    ASSERT_EQ(curve.Size(), 232);
    for (int i = 0; i < 232; ++i) ASSERT_EQ(curve[i], 95.0f) << i;
    EXPECT_EQ(e.View().NewSamples(), 0);
    // The edge runs along row 95 under the grid lines' bottom ends.
    EXPECT_NE(e.Pixel(50, 95), 0xFF000000u);
    EXPECT_EQ(e.Pixel(50, 94), 0xFF000000u);
}

TEST(FreqDisplay, ASteadyToneRisesByHalvesAndFallsTheSameWay)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(1, Sine(1000, 0.01, 48000), 1.0, 3));  // 500 - 2000 Hz
    const FreqDisplay& v = e.View().Freq();
    const int peak = PeakColumn(v.Curve());
    std::vector<float> heights;
    for (int i = 0; i < 4; ++i) {
        if (i > 0) e.Redraw();
        heights.push_back(96.0f - v.Curve()[peak]);
    }
    ASSERT_GT(heights[0], 5.0f);
    ASSERT_LT(heights[3], 95.0f);  // not clamped
    EXPECT_NEAR(heights[1] / heights[0], 1.5f, 1e-4f);
    EXPECT_NEAR(heights[2] / heights[0], 1.75f, 1e-4f);
    EXPECT_NEAR(heights[3] / heights[0], 1.875f, 1e-4f);

    // Silence after it: half of the height remains, then a quarter.
    e.Play(Constant(0, 0), 24000);
    ASSERT_TRUE(e.Tick());
    EXPECT_NEAR(96.0f - v.Curve()[peak], heights[3] * 0.5f, 1e-3f);
    e.Redraw();
    EXPECT_NEAR(96.0f - v.Curve()[peak], heights[3] * 0.25f, 1e-3f);
}

TEST(FreqDisplay, ATonePeaksAtItsColumnInEveryBand)
{
    const double rate = 48000.0;
    for (int zoom = 0; zoom < 7; ++zoom) {
        Editor e(rate);
        e.Show(1, 1.0, zoom);
        ASSERT_TRUE(e.Tick());  // the draw takes the sample rate into the bands
        const ZoomBand& band = e.View().FreqBand(zoom);
        // A tone on a position of the axis a third into the band: at the top of the axis the
        // positions lie bins apart, and a tone between two of them would not show.
        const int span = band.highColumn - band.lowColumn;
        const int index = band.lowColumn + span / 3;
        e.Play(Sine(IndexToFrequency(index, 8192, rate, true), 0.01, rate), 24000);
        ASSERT_TRUE(e.Tick());
        const double expected = static_cast<double>(span / 3) / span * 232.0;
        const FloatArray& curve = e.View().Freq().Curve();
        const int peak = PeakColumn(curve);
        EXPECT_NEAR(peak, expected, 232.0 / span + 2.0) << "zoom " << zoom;
        EXPECT_LT(curve[peak], 90.0f) << "zoom " << zoom;
        EXPECT_GT(curve[peak], 0.0f) << "zoom " << zoom;
    }
}

TEST(FreqDisplay, LoudColumnsClampToTheTopRow)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(1, Sine(1000, 0.9, 48000), 20.0, 3));
    const FloatArray& curve = e.View().Freq().Curve();
    int clamped = 0;
    for (int i = 0; i < curve.Size(); ++i) {
        ASSERT_GE(curve[i], 0.0f);
        ASSERT_LE(curve[i], 95.0f);
        clamped += curve[i] == 0.0f;
    }
    EXPECT_GT(clamped, 0);
    EXPECT_EQ(curve[PeakColumn(curve)], 0.0f);
}

TEST(FreqDisplay, ResampleToColumnsAveragesOrRepeats)
{
    GrowableArray<double> source;
    source.Resize(8, false);
    for (int i = 0; i < 8; ++i) source[i] = i;
    FloatArray columns;
    columns.Resize(2, false);
    ResampleToColumns(source, columns, 0, 8);
    EXPECT_EQ(columns[0], 1.5f);  // mean of 0..3
    EXPECT_EQ(columns[1], 5.5f);
    columns.Resize(4, false);
    ResampleToColumns(source, columns, 2, 4);
    EXPECT_EQ(columns[0], 2.0f);  // fewer positions than columns: repeated
    EXPECT_EQ(columns[1], 2.0f);
    EXPECT_EQ(columns[2], 3.0f);
    EXPECT_EQ(columns[3], 3.0f);
    ResampleToColumns(source, columns, 4, 0);  // end before start: to the end
    EXPECT_EQ(columns[0], 4.0f);
    EXPECT_EQ(columns[3], 7.0f);
    // A band collapsed onto the top of the axis reads the last value, never past it.
    ResampleToColumns(source, columns, 8, 8);
    EXPECT_EQ(columns[0], 7.0f);
    EXPECT_EQ(columns[3], 7.0f);
}

// Columns summed side by side against one column at a time, each value narrowed to a float
// and added in order: bands inside the spectrum, touching its end, hanging past either end,
// wider and narrower than the row, over values beyond the float range and no number.
TEST(FreqDisplay, ResampleToColumnsSumsEachColumnInOrder)
{
    GrowableArray<double> source;
    source.Resize(300, false);
    const double specials[] = {1e39, -1e39, 3.4028235e38, NAN, 1e-50};
    for (int i = 0; i < 300; ++i) source[i] = i % 41 == 7 ? specials[i / 41 % 5] : std::sin(i * 0.7) * 1e3 + i * 1e-4;
    const int32_t bands[][2] = {{0, 300}, {13, 290}, {37, 300}, {-9, 120}, {250, 320}, {5, 40}, {299, 299}, {200, 100}};
    for (int columns : {3, 7, 64, 232}) {
        for (const auto& band : bands) {
            FloatArray ours;
            ours.Resize(columns, false);
            ResampleToColumns(source, ours, band[0], band[1]);
            const int32_t end = band[1] < band[0] ? 300 : band[1];
            const double step = static_cast<double>(end - band[0]) / columns;
            auto at = [&](int64_t j) { return NarrowToFloat(source[j < 0 ? 0 : j >= 300 ? 299 : static_cast<int>(j)]); };
            int64_t s = 0;
            for (int i = 0; i < columns; ++i) {
                const int64_t e = static_cast<int64_t>((i + 1) * step);
                float expected = at(band[0] + s);
                if (e > s + 1) {
                    float sum = 0.0f;
                    for (int64_t j = s; j < e; ++j) sum += at(band[0] + j);
                    expected = sum / static_cast<float>(e - s);
                }
                s = e;
                EXPECT_EQ(std::memcmp(&ours[i], &expected, sizeof(float)), 0)
                    << columns << " columns, band " << band[0] << ".." << band[1] << ", column " << i;
            }
        }
    }
}

TEST(FreqDisplay, WhilePausedTheCurveSettlesOnTheFrozenHistory)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(1, Sine(1000, 0.01, 48000), 1.0, 3));
    const FreqDisplay& v = e.View().Freq();
    const int peak = PeakColumn(v.Curve());
    const float first = 96.0f - v.Curve()[peak];
    e.Show(1, 1.0, 3, true);
    e.Play(Constant(0, 0), 24000);  // staged meanwhile, not taken
    ASSERT_TRUE(e.Tick());
    e.Redraw();
    EXPECT_EQ(e.View().NewSamples(), 0);
    EXPECT_NEAR(96.0f - v.Curve()[peak], first * 1.75f, 1e-3f);
    e.Show(1, 1.0, 3, false);
    ASSERT_TRUE(e.Tick());  // the silence is taken now
    EXPECT_NEAR(96.0f - v.Curve()[peak], first * 0.875f, 1e-3f);
}
