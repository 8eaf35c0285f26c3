#include "tests/analyser/DisplayTestSupport.h"

namespace {

constexpr uint32_t kBackground = 0xFF000000u;
constexpr uint32_t kGrid = 0xFF505050u;

// The anti-aliased white edge line, not the grey grid.
bool IsEdge(uint32_t pixel)
{
    return (pixel & 0xFF) >= 0xF0 && (pixel >> 8 & 0xFF) >= 0xF0 && (pixel >> 16 & 0xFF) >= 0xF0;
}

void ExpectFlatBand(const TimeDisplay& time, float y)
{
    ASSERT_EQ(time.FirstCurve().Size(), 232);
    ASSERT_EQ(time.SecondCurve().Size(), 232);
    for (int i = 0; i < 232; ++i) {
        ASSERT_EQ(time.FirstCurve()[i], y) << "column " << i;
        ASSERT_EQ(time.SecondCurve()[i], y) << "column " << i;
    }
}

// Rows of column x that are not the background, away from the scale's label strip.
std::vector<int> LitRows(const Editor& e, int x)
{
    std::vector<int> rows;
    for (int y = 0; y < 96; ++y)
        if (e.Pixel(x, y) != kBackground) rows.push_back(y);
    return rows;
}

}  // namespace

TEST(TimeDisplay, SilenceAndOppositeChannelsLieOnTheCentreLine)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(0, Constant(0, 0)));
    ExpectFlatBand(e.View().Time(), 48.0f);
    EXPECT_EQ(e.View().NewSamples(), 0);
    // The grid's centre line overwrites the band; only it and the two -6 dB lines cross a column.
    EXPECT_EQ(e.Pixel(100, 48), kGrid);
    EXPECT_EQ(LitRows(e, 100), (std::vector<int>{24, 48, 72}));

    e.Play(Sine(440, 0.8, 48000, 1.0, -1.0), 24000);
    ASSERT_TRUE(e.Tick());
    ExpectFlatBand(e.View().Time(), 48.0f);
}

TEST(TimeDisplay, AConstantIsABandOfZeroHeightAtItsLevel)
{
    struct Case {
        double c;
        double vScale;
        float y;
    };
    for (const Case& k : {Case{0.25, 1.0, 36.0f}, Case{-0.5, 1.0, 72.0f}, Case{0.25, 2.0, 24.0f},
                          Case{0.1, 20.0, -48.0f}, Case{-1.0, 1.0, 96.0f}}) {
        Editor e;
        ASSERT_TRUE(e.ShowHistory(0, Constant(k.c, k.c), k.vScale));
        SCOPED_TRACE(k.c);
        ExpectFlatBand(e.View().Time(), k.y);
    }
    Editor e;
    ASSERT_TRUE(e.ShowHistory(0, Constant(0.25, 0.25)));
    EXPECT_TRUE(IsEdge(e.Pixel(100, 36)));
    EXPECT_EQ(LitRows(e, 100), (std::vector<int>{24, 36, 48, 72}));
}

TEST(TimeDisplay, ColumnsCoverTheHistoryExactlyAndPartialColumnsAreDropped)
{
    Editor e;
    e.Show(0);
    // Column 0 covers samples 0..102, column 1 103..206, column 231 the newest 104.
    e.Play(
        [](long n, double& l, double& r) {
            l = r = n == 102 ? 0.5 : n == 103 ? -0.5 : n == 23896 ? 0.25 : n == 23895 ? -0.25 : 0.0;
        },
        24000);
    ASSERT_TRUE(e.Tick());
    const TimeDisplay& v = e.View().Time();
    EXPECT_EQ(v.SecondCurve()[0], 24.0f);
    EXPECT_EQ(v.FirstCurve()[0], 48.0f);
    EXPECT_EQ(v.FirstCurve()[1], 72.0f);
    EXPECT_EQ(v.SecondCurve()[1], 48.0f);
    EXPECT_EQ(v.FirstCurve()[230], 60.0f);
    EXPECT_EQ(v.SecondCurve()[231], 36.0f);
    EXPECT_EQ(v.FirstCurve()[231], 48.0f);

    // 103 new samples are less than a column: nothing moves, and they are gone.
    e.Play(Constant(-1, -1), 103);
    ASSERT_TRUE(e.Tick());
    EXPECT_EQ(e.View().NewSamples(), 0);
    EXPECT_EQ(v.SecondCurve()[231], 36.0f);
    EXPECT_EQ(v.FirstCurve()[1], 72.0f);

    // 104 make one column, which shows only them.
    e.Play(Constant(0.5, 0.5), 104);
    ASSERT_TRUE(e.Tick());
    EXPECT_EQ(v.FirstCurve()[0], 72.0f);
    EXPECT_EQ(v.SecondCurve()[230], 36.0f);
    EXPECT_EQ(v.SecondCurve()[231], 24.0f);
    EXPECT_EQ(v.FirstCurve()[231], 24.0f);
}

TEST(TimeDisplay, PauseFreezesAndAScaleChangeRebuildsFromTheFrozenHistory)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(0, Constant(0.25, 0.25)));
    e.Show(0, 1.0, 0, true);
    e.Play(Constant(-0.5, -0.5), 5000);
    ASSERT_TRUE(e.Tick());
    ExpectFlatBand(e.View().Time(), 36.0f);
    e.Show(0, 2.0, 0, true);
    ASSERT_TRUE(e.Tick());
    ExpectFlatBand(e.View().Time(), 24.0f);
}

// A display needs nothing of the view: the history, the count of new samples and the state
// come with the context, and it draws over the rectangle it was made for.
TEST(TimeDisplay, DrawsFromItsContextAlone)
{
    const Rect view(0, 0, 232, 96);
    const std::vector<double> quarter(24000, 0.25);
    SampleRing left, right;
    for (SampleRing* ring : {&left, &right}) {
        ASSERT_TRUE(ring->Resize(24000, true));
        ring->Append(quarter.data(), 24000);
    }
    int32_t newSamples = 24000;
    TextStyle style;
    RecordingGraphics g;
    TimeDisplay display(view);
    display.Reset();
    DisplayContext context{g, left, right, newSamples, 24000.0 / 232, 2.0f, Colour(255, 0, 0, 0),
                           Colour(255, 1, 2, 3), Colour(255, 4, 5, 6), Scales(view, style, 2.0f)};
    display.Draw(context);
    EXPECT_EQ(newSamples, 0);
    ExpectFlatBand(display, 24.0f);
    // At twice the size only the -12 dB pair of the scale lies near enough to the centre.
    EXPECT_EQ(g.TextsDrawn(), (std::vector<std::string>{"db", "-12", "-12"}));
}
