// The numbers the plug-in writes and reads are the "C" locale's, whatever locale the host's
// process runs in.
#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>

#include "analyser/AnalyserPlugin.h"
#include "analyser/Scales.h"
#include "plugin/FormatString.h"
#include "plugin/LeadingNumber.h"
#include "plugin/Param.h"
#include "tests/GermanLocale.h"
#include "tests/plugin/FakeHost.h"

namespace {

// printf's own text, cut as FormatString cuts it.
std::string Printf(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Printf(const char* format, ...)
{
    char buffer[255];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();

// Ties in binary (0.125, 2.5) that printf rounds to even, near-ties that are not, and extremes.
const double kValues[] = {0.0,   -0.0,    0.125,  0.375,  2.5,     3.5,         -2.5,     0.05,     0.15,
                          2.675, 0.0499,  999.95, 9.96,   -0.04,   1.0 / 3.0,   14999.5,  22050.0,  1e15 + 0.5,
                          1e22,  1e300,   -1e308, DBL_MAX, DBL_MIN, 4.9e-324,   kInf,     -kInf,    kNan,
                          -kNan, 123456789.987654321};

bool SameNumber(double a, double b)
{
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b) && std::signbit(a) == std::signbit(b);
    return a == b && std::signbit(a) == std::signbit(b);
}

}  // namespace

TEST(Locale, FormatStringWritesWhatPrintfWritesInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    for (double v : kValues) {
        SCOPED_TRACE(v);
        EXPECT_EQ(FormatString("%.1fx", v), Printf("%.1fx", v));
        EXPECT_EQ(FormatString("%.0f Hz", v), Printf("%.0f Hz", v));
        EXPECT_EQ(FormatString("%c%.1f dB", v > 0.0 ? '+' : '-', std::fabs(v)),
                  Printf("%c%.1f dB", v > 0.0 ? '+' : '-', std::fabs(v)));
        EXPECT_EQ(FormatString("%.1fk", v * 0.001), Printf("%.1fk", v * 0.001));
        EXPECT_EQ(FormatString("%f", v), Printf("%f", v));
        for (int places = 0; places <= 7; ++places)
            EXPECT_EQ(FormatString("%.*f", places, v), Printf("%.*f", places, v)) << places;
        // Longer than the texts are cut at; places beyond the exact expansion.
        EXPECT_EQ(FormatString("%.300f", v), Printf("%.300f", v));
        EXPECT_EQ(FormatString("x%.1200f", v * 1e-300), Printf("x%.1200f", v * 1e-300));
    }
    for (int n : {INT_MIN, -1, 0, 7, 999, 1000, 22000, INT_MAX}) {
        EXPECT_EQ(FormatString("%d", n), Printf("%d", n));
        EXPECT_EQ(FormatString("%dk", n), Printf("%dk", n));
    }
    EXPECT_EQ(FormatString("%s %i: 100%%", "in", 2), "in 2: 100%");
    const std::string longText(300, 'a');
    EXPECT_EQ(FormatString("%s%d", longText.c_str(), 5), std::string(254, 'a'));
    EXPECT_EQ(FormatString("ab%cd", 0), "ab");  // a NUL ends the text, as it always did
    // Conversions it lacks read no argument and say so.
    EXPECT_EQ(FormatString("%5.1f", 1.0), "parse error");
    EXPECT_EQ(FormatString("%x", 255u), "parse error");
    EXPECT_EQ(FormatString("%.2d", 5), "parse error");
}

TEST(Locale, LeadingNumberReadsWhatAtofReadsInTheCLocale)
{
    ASSERT_STREQ(std::setlocale(LC_NUMERIC, nullptr), "C");
    const std::string many(400, '0');
    const std::string texts[] = {"0.5", "2.5x", "x2.5", "", " \t\n-7", "+3", "--3", "-+3", "- 3", ".5", "5.", ".",
                                 "-.e1", "1,5", "1e", "1e+", "1E-2", "1e999", "-1e999", "1e-999", "-1e-999",
                                 "1" + many, "0." + many + "1", many + "1.5", "4.9e-324", "2.4703282292062328e-324",
                                 "1e-320", "1.7976931348623157e308", "1.7976931348623159e308", "0x1A", "-0X1p4x",
                                 "0x.8", "0x", "0xg", "0x1p99999", "0x1p-99999", "inf", "-Infinity", "infinit",
                                 "nan", "nan(12)", "-nan(x", "123456789012345678901234567890"};
    for (const std::string& text : texts) {
        SCOPED_TRACE(text);
        EXPECT_TRUE(SameNumber(LeadingNumber(text.c_str()), std::atof(text.c_str())))
            << LeadingNumber(text.c_str()) << " " << std::atof(text.c_str());
    }
    EXPECT_EQ(LeadingNumber(nullptr), 0.0);
}

TEST(Locale, AGermanHostChangesNoTextThePlugInWritesOrReads)
{
    GermanLocale german;
    SKIP_WITHOUT_GERMAN_LOCALE(german);
    ASSERT_EQ(Printf("%.2f", 2.5), "2,50") << "the locale has no decimal comma: nothing is tested";
    ASSERT_EQ(std::atof("0.5"), 0.0);

    FakeHost::Reset();
    PluginUnderTest p;
    p->setParameter(p.get(), AnalyserPlugin::kVScale, static_cast<float>((2.5 - 0.1) / 19.9));
    char text[64] = {};
    p.Dispatch(effGetParamDisplay, AnalyserPlugin::kVScale, 0, text);
    EXPECT_STREQ(text, "2.50");

    EXPECT_EQ(FormatString("%.1fx", 2.5), "2.5x");
    EXPECT_EQ(FormatString("%c%.1f dB", '-', 6.25), "-6.2 dB");
    EXPECT_EQ(FormatString("%.0f Hz", 1234.5), "1234 Hz");
    EXPECT_EQ(Scales::FrequencyLabel(7500), "7.5k");

    Param vScale;
    vScale.InitDouble("v scale", 1.0, 0.1, 20.0, 0.01, "x");
    EXPECT_EQ(vScale.ValueForUserText("0.5"), 0.5);
    EXPECT_EQ(vScale.ValueForUserText("2,5"), 2.0);  // the leading number only
}
