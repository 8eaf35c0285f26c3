#include "tests/analyser/DisplayTestSupport.h"

namespace {

// The screen row of column x drawn brightest (largest green channel).
int BrightestRow(const Editor& e, int x)
{
    int best = 0, bestGreen = -1;
    for (int y = 0; y < 96; ++y) {
        const int green = static_cast<int>(e.Pixel(x, y) >> 8 & 0xFF);
        if (green > bestGreen) {
            bestGreen = green;
            best = y;
        }
    }
    return best;
}

std::vector<float> ColumnCopy(const AnalyserView& v, int c)
{
    const FloatArray& column = v.Spectro().Intensities().Column(c);
    return std::vector<float>(column.Data(), column.Data() + column.Size());
}

}  // namespace

TEST(SpectroDisplay, BlocksColumnsAndPendingSamples)
{
    const double perColumn = 24000.0 / 232;
    SpectroDisplay::Blocks plan = SpectroDisplay::PlanBlocks(3000, perColumn, 232);
    EXPECT_EQ(plan.columnsPerBlock, 9);
    EXPECT_EQ(plan.blocks, 2);
    EXPECT_EQ(plan.shift, 18);
    EXPECT_EQ(plan.dropped, 0);
    plan = SpectroDisplay::PlanBlocks(1023, perColumn, 232);
    EXPECT_EQ(plan.blocks, 0);
    EXPECT_EQ(plan.shift, 0);
    plan = SpectroDisplay::PlanBlocks(24000 + 1023, perColumn, 232);
    EXPECT_EQ(plan.blocks, 24);
    EXPECT_EQ(plan.shift, 216);
    // More than fit beside the last kept column: only the newest 25 are analysed.
    plan = SpectroDisplay::PlanBlocks(40 * 1024 + 5, perColumn, 232);
    EXPECT_EQ(plan.blocks, 25);
    EXPECT_EQ(plan.dropped, 15);
    EXPECT_EQ(plan.shift, 225);

    Editor e;
    ASSERT_TRUE(e.ShowHistory(3, Sine(2000, 0.5, 48000)));
    EXPECT_EQ(e.View().NewSamples(), 24000 - 23 * 1024);
    e.Play(Sine(2000, 0.5, 48000), 3000 - 448);
    ASSERT_TRUE(e.Tick());
    EXPECT_EQ(e.View().NewSamples(), 952);

    // Fewer than 1024 new samples: nothing scrolls, and they wait.
    const std::vector<float> before = ColumnCopy(e.View(), 231);
    const std::vector<float> earlier = ColumnCopy(e.View(), 100);
    e.Play(Constant(0, 0), 50);
    ASSERT_TRUE(e.Tick());
    EXPECT_EQ(e.View().NewSamples(), 1002);
    EXPECT_EQ(ColumnCopy(e.View(), 231), before);
    EXPECT_EQ(ColumnCopy(e.View(), 100), earlier);
}

TEST(SpectroDisplay, SilencePaintsTheBackground)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(3, Constant(0, 0)));
    // Column 50 crosses no grid line's label strip; the grid lines run across it.
    for (int y = 0; y < 96; ++y) {
        const uint32_t p = e.Pixel(50, y);
        ASSERT_TRUE(p == 0xFF000000u || p == 0xFF505050u) << y;
    }
    EXPECT_EQ(e.Pixel(200, 30), 0xFF000000u);
}

TEST(SpectroDisplay, HighFrequenciesAtTheTopLowAtTheBottom)
{
    Editor high;
    ASSERT_TRUE(high.ShowHistory(3, Sine(12000, 0.5, 48000)));
    Editor low;
    ASSERT_TRUE(low.ShowHistory(3, Sine(1000, 0.5, 48000)));
    const int highRow = BrightestRow(high, 200), lowRow = BrightestRow(low, 200);
    EXPECT_LT(highRow, lowRow);
    EXPECT_LT(highRow, 30);
    EXPECT_GT(lowRow, 40);

    // The first of the 23 blocks after the domain change lands in column 232 - 207 - 1 + 9 and
    // fades in from the cleared column 24 before it.
    const IntensityGrid& grid = low.View().Spectro().Intensities();
    const int row = 95 - lowRow;
    EXPECT_EQ(grid.Column(24)[row], 0.0f);
    EXPECT_GT(grid.Column(33)[row], 0.0f);
    EXPECT_NEAR(grid.Column(28)[row], grid.Column(33)[row] * 4.0f / 9.0f, grid.Column(33)[row] * 1e-5f);
}
