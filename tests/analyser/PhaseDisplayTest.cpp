#include "tests/analyser/DisplayTestSupport.h"

namespace {

// Every cell of the intensity grid that holds any weight.
std::vector<std::pair<int, int>> LitCells(const AnalyserView& v)
{
    std::vector<std::pair<int, int>> cells;
    const IntensityGrid& grid = v.Phase().Intensities();
    for (int c = 0; c < grid.Columns(); ++c)
        for (int r = 0; r < grid.Column(c).Size(); ++r)
            if (grid.Column(c)[r] != 0.0f) cells.emplace_back(c, r);
    return cells;
}

}  // namespace

TEST(PhaseDisplay, SilenceGathersEveryPointInTheCentre)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(2, Constant(0, 0)));
    const auto cells = LitCells(e.View());
    ASSERT_EQ(cells.size(), 1u);
    EXPECT_EQ(cells[0], std::make_pair(116, 48));
    EXPECT_NEAR(e.View().Phase().Intensities().Column(116)[48], 11999.5f, 1.0f);
    // Its pixel lies under the scale's axes, which are drawn over the picture.
    EXPECT_EQ(e.Pixel(116, 48), 0xFF505050u);
    // Away from the scale every pixel is the background.
    EXPECT_EQ(e.Pixel(100, 80), 0xFF000000u);
    EXPECT_EQ(e.Pixel(30, 10), 0xFF000000u);
}

TEST(PhaseDisplay, MonoIsAColumnAndOppositeChannelsARow)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(2, Sine(300, 0.7, 48000)));
    auto cells = LitCells(e.View());
    ASSERT_GT(cells.size(), 40u);
    for (const auto& cell : cells) ASSERT_EQ(cell.first, 116);

    e.Play(Sine(300, 0.7, 48000, 1.0, -1.0), 24000);
    ASSERT_TRUE(e.Tick());
    cells = LitCells(e.View());
    ASSERT_GT(cells.size(), 40u);
    for (const auto& cell : cells) ASSERT_EQ(cell.second, 48);
}

TEST(PhaseDisplay, NewerPointsWeighMoreAndOldOnesFadeOut)
{
    Editor e;
    e.Show(2);
    e.Play(Constant(0.25, 0.25), 12000);  // mid +0.25: half-way down, on the axis
    e.Play(Constant(0, 0), 12000);
    ASSERT_TRUE(e.Tick());
    const IntensityGrid& grid = e.View().Phase().Intensities();
    // y = 48 + 48 * sqrt(0.25) = 72; the older half holds weights 0 .. 0.5.
    EXPECT_NEAR(grid.Column(116)[72], 12000 * 0.25f, 1.0f);
    EXPECT_NEAR(grid.Column(116)[48], 12000 * 0.75f, 1.0f);
    e.Play(Constant(0, 0), 24000);
    ASSERT_TRUE(e.Tick());
    EXPECT_EQ(grid.Column(116)[72], 0.0f);
}

TEST(PhaseDisplay, PointsBeyondTheViewClampToItsEdges)
{
    Editor e;
    e.Show(2, 20.0);
    e.Play(Constant(1.0, 0.0), 8000);    // side +0.5, mid +0.5: right and down
    e.Play(Constant(-1.0, 0.0), 8000);   // side -0.5, mid -0.5: left and up
    e.Play(Constant(0.0, 0.0), 8000);
    ASSERT_TRUE(e.Tick());
    const auto cells = LitCells(e.View());
    EXPECT_EQ(cells, (std::vector<std::pair<int, int>>{{0, 0}, {116, 48}, {231, 95}}));
}

TEST(PhaseDisplay, AColumnThatFailedToAllocateIsLeftUndrawnWhereTheSpectrogramDrawsItEmpty)
{
    for (const int domain : {2, 3}) {
        Editor e;
        RecordingGraphics g;
        ASSERT_TRUE(e.ShowHistory(domain, Sine(300, 0.7, 48000)));
        ASSERT_TRUE(AnalyserViewProbe::GridColumn(e.View(), domain, 100).Resize(10, true));
        g.Forget();
        e.View().Draw(g);
        EXPECT_EQ(g.pixelsSet, domain == 2 ? 232 * 96 - 86 : 232 * 96) << domain;
    }
}
