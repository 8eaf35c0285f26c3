#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "plugin/Param.h"

namespace {

struct AnalyserParams {
    Param domain, vScale, zoom, pause;
    AnalyserParams()
    {
        domain.InitEnum("domain", 1, 4);
        const char* names[] = {"time", "freq", "phase", "spectro"};
        for (int i = 0; i < 4; ++i) domain.SetDisplayText(float(i), names[i]);
        vScale.InitDouble("v scale", 1.0, 0.1, 20.0, 0.01, "x");
        zoom.InitEnum("fft zoom", 0, 7);
        const char* bands[] = {"0-18k", "20-200", "100-500", "500-2k", "1k-7.5k", "7.5k-12k", "12k-20k"};
        for (int i = 0; i < 7; ++i) zoom.SetDisplayText(float(i), bands[i]);
        pause.InitBool("pause", false);
    }
};

std::string Display(const Param& p)
{
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    p.GetDisplayText(buffer);
    return buffer;
}

}  // namespace

TEST(Param, HostValuesSnapForSteppedKindsOnly)
{
    AnalyserParams p;
    p.domain.SetNormalized(0.5f);
    EXPECT_EQ(p.domain.Value(), 2.0);
    EXPECT_EQ(Display(p.domain), "phase");
    p.zoom.SetNormalized(0.5f);
    EXPECT_EQ(p.zoom.Value(), 3.0);
    p.pause.SetNormalized(0.5f);
    EXPECT_EQ(Display(p.pause), "on");
    p.pause.SetNormalized(0.49f);
    EXPECT_EQ(Display(p.pause), "off");
    p.vScale.SetNormalized(0.5f);
    EXPECT_NEAR(p.vScale.Value(), 10.05, 1e-6);
    EXPECT_EQ(Display(p.vScale), "10.05");
}

TEST(Param, HostPathClampsAboveOnly)
{
    AnalyserParams p;
    p.vScale.SetNormalized(1.2f);
    EXPECT_EQ(p.vScale.Value(), 20.0);
    p.vScale.SetNormalized(-0.1f);
    EXPECT_NEAR(p.vScale.Value(), 0.1 - 0.1 * 19.9, 1e-6);
    // Set clamps on both sides.
    p.vScale.Set(-5.0);
    EXPECT_EQ(p.vScale.Value(), 0.1);
    p.vScale.Set(40.0);
    EXPECT_EQ(p.vScale.Value(), 20.0);
}

TEST(Param, NonFiniteHostValuesLeaveTheValueAlone)
{
    AnalyserParams p;
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                      -std::numeric_limits<float>::infinity()}) {
        p.vScale.SetNormalized(bad);
        p.domain.SetNormalized(bad);
        EXPECT_EQ(p.vScale.Value(), 1.0);
        EXPECT_EQ(p.domain.Value(), 1.0);
    }
    p.vScale.Set(std::nan(""));
    EXPECT_EQ(p.vScale.Value(), 1.0);
}

TEST(Param, NormalizedMapping)
{
    AnalyserParams p;
    EXPECT_DOUBLE_EQ(p.vScale.GetNormalized(), (1.0 - 0.1) / 19.9);
    EXPECT_DOUBLE_EQ(p.domain.GetNormalized(), 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(p.vScale.ToNormalized(100.0), 1.0);
    EXPECT_DOUBLE_EQ(p.vScale.ToNormalized(-100.0), 0.0);
}

TEST(Param, InitRulesAndPrecision)
{
    Param p;
    p.InitDouble("x", 0.0, 5.0, 5.2, 1.0, nullptr);
    EXPECT_EQ(p.Max(), 6.0);  // max is at least min + step
    EXPECT_EQ(p.Precision(), 0);
    EXPECT_EQ(p.Label(), "");
    Param q;
    q.InitDouble("y", 0.0, 0.0, 1.0, 0.1, "u");
    EXPECT_EQ(q.Precision(), 1);
    Param r;
    r.InitDouble("z", 0.0, 0.0, 1.0, 1.0 / 3.0, "u");
    EXPECT_EQ(r.Precision(), 6);
    AnalyserParams a;
    EXPECT_EQ(a.vScale.Precision(), 2);
    EXPECT_EQ(Display(a.vScale), "1.00");
    a.vScale.Set(0.1);
    EXPECT_EQ(Display(a.vScale), "0.10");
    // A kind set before Init stays.
    Param b;
    b.InitBool("b", true);
    EXPECT_EQ(b.Kind(), ParamKind::Bool);
    EXPECT_EQ(b.Value(), 1.0);
}

TEST(Param, DisplayTextsAndLookups)
{
    AnalyserParams p;
    EXPECT_TRUE(p.vScale.GetDisplayTexts().empty());
    const auto bands = p.zoom.GetDisplayTexts();
    ASSERT_EQ(bands.size(), 7u);
    EXPECT_EQ(bands.front(), "0-18k");
    EXPECT_EQ(bands.back(), "12k-20k");
    EXPECT_EQ(p.domain.ValueForDisplayText("spectro"), 3);
    EXPECT_EQ(p.domain.ValueForDisplayText("Spectro"), -1);
    EXPECT_EQ(p.domain.ValueForDisplayText("spectr"), -1);
    Param unset;
    EXPECT_EQ(Display(unset), "0");
    Param zero;
    zero.InitDouble("z", -0.0, -1.0, 1.0, 0.01, "");
    EXPECT_EQ(Display(zero), "0");
    // An enum set outside its texts shows its number.
    p.domain.SetNormalized(-1.0f);
    EXPECT_EQ(Display(p.domain), "-3");
}

TEST(Param, HostTextsAreBoundedAndTerminated)
{
    AnalyserParams p;
    // Far below range, v scale would print dozens of digits.
    p.vScale.SetNormalized(-3.0e38f);
    char buffer[64];
    std::memset(buffer, 'x', sizeof buffer);
    p.vScale.GetDisplayText(buffer);
    EXPECT_EQ(std::strlen(buffer), size_t(Param::kMaxHostText - 1));
    EXPECT_EQ(buffer[Param::kMaxHostText], 'x');  // nothing written past the bound
    EXPECT_GT(p.vScale.GetDisplayString().size(), 30u);  // the editor still gets it whole
    // An enum that far below range has a value beyond int32: the display stays defined.
    p.domain.SetNormalized(-3.0e38f);
    EXPECT_EQ(Display(p.domain), "-2147483648");
    // The names and labels of this plug-in fit whole; a null buffer is ignored.
    char name[Param::kMaxHostText]{};
    p.zoom.GetNameForHost(name);
    EXPECT_STREQ(name, "fft zoom");
    p.vScale.GetLabelForHost(name);
    EXPECT_STREQ(name, "x");
    p.vScale.GetNameForHost(nullptr);
    p.vScale.GetDisplayText(nullptr);
}

TEST(Param, UserTextReadsDropListTextsOrTheLeadingNumber)
{
    AnalyserParams p;
    EXPECT_EQ(p.domain.ValueForUserText("phase"), 2.0);
    EXPECT_EQ(p.domain.ValueForUserText("2"), -1.0);  // a drop list offers texts, not numbers
    EXPECT_EQ(p.pause.ValueForUserText("on"), 1.0);
    EXPECT_EQ(p.vScale.ValueForUserText("2.5x"), 2.5);
    EXPECT_EQ(p.vScale.ValueForUserText("x2.5"), 0.0);
    EXPECT_EQ(p.vScale.ValueForUserText(""), 0.0);
    EXPECT_EQ(p.vScale.ToNormalized(p.vScale.ValueForUserText("-7")), 0.0);
    EXPECT_FALSE(std::isfinite(p.vScale.ValueForUserText("1e999")));
}
