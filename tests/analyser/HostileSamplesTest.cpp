#include "tests/analyser/DisplayTestSupport.h"

#include <limits>

// Samples that are no number, infinite or absurdly large reach the view unchanged (the audio
// passes through as it came). No display may turn them into pixel positions.
TEST(HostileSamples, EveryDisplaySurvivesNaNAndInfinity)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Signal hostile = [=](long n, double& l, double& r) {
        switch (n % 5) {
        case 0: l = nan; r = 0.5; break;
        case 1: l = inf; r = -inf; break;
        case 2: l = 1e300; r = n % 2 ? -1e300 : 0.5; break;
        case 3: l = -inf; r = nan; break;
        default: l = 0.25; r = 0.1; break;
        }
    };
    for (int domain = 0; domain < 4; ++domain)
        for (double vScale : {1.0, 20.0}) {
            SCOPED_TRACE(domain);
            Editor e;
            ASSERT_TRUE(e.ShowHistory(domain, hostile, vScale, domain == 3 ? 6 : 0));
            e.Play(Constant(nan, inf), 3000);
            ASSERT_TRUE(e.Tick());
            e.Play(Constant(0.25, 0.25), 24000);
            ASSERT_TRUE(e.Tick());
            e.View().OnMouseOver(100, 30, MouseKeys());
            ASSERT_TRUE(e.Tick());
            EXPECT_LT(e.View().NewSamples(), 1024);
        }
}

TEST(HostileSamples, TheFreqDisplayRecoversAfterAnInfiniteBurst)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(1, Constant(std::numeric_limits<double>::infinity(), 0.0)));
    e.Play(Constant(0, 0), 24000);
    for (int i = 0; i < 40; ++i) e.Redraw();
    const FloatArray& curve = e.View().Freq().Curve();
    for (int i = 0; i < curve.Size(); ++i) ASSERT_EQ(curve[i], 95.0f) << i;
}

TEST(HostileSamples, PhasePointsThatAreNoNumberAreLeftOut)
{
    Editor e;
    ASSERT_TRUE(e.ShowHistory(2, Constant(std::numeric_limits<double>::quiet_NaN(), 0.0)));
    const IntensityGrid& grid = e.View().Phase().Intensities();
    for (int c = 0; c < grid.Columns(); ++c)
        for (int r = 0; r < grid.Column(c).Size(); ++r) ASSERT_EQ(grid.Column(c)[r], 0.0f);
}
