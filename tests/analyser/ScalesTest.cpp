#include "tests/analyser/DisplayTestSupport.h"

#include <cstdlib>

namespace {

std::vector<std::string> LabelsOf(const RecordingGraphics& g)
{
    return g.TextsDrawn();
}

struct ScaleView {
    Editor e;
    RecordingGraphics g;
    // Draws the view once into the recorder and keeps what the scale drew.
    void Draw(int domain, double vScale, int zoom = 0)
    {
        e.Show(domain, vScale, zoom);
        g.Forget();
        e.View().Draw(g);
    }
};

}  // namespace

TEST(Scales, TimeScalePairsFollowTheVScale)
{
    ScaleView s;
    s.Draw(0, 1.0);
    // The caption comes last: the level lines and labels are the scale's.
    EXPECT_EQ(LabelsOf(s.g), (std::vector<std::string>{"db", "-6", "-6", "1.0x"}));
    ASSERT_GE(s.g.texts.size(), 3u);
    EXPECT_EQ(s.g.texts[0].rect, Rect(2, 43, 16, 53));
    EXPECT_EQ(s.g.texts[0].align, AlignLeft);
    EXPECT_EQ(s.g.texts[1].rect, Rect(2, 18, 16, 28));
    EXPECT_EQ(s.g.texts[2].rect, Rect(2, 67, 16, 77));
    EXPECT_EQ(s.g.texts[3].align, AlignCentre);

    s.Draw(0, 20.0);
    EXPECT_EQ(LabelsOf(s.g), (std::vector<std::string>{"db", "-30", "-30", "20.0x"}));
    s.Draw(0, 0.5);
    EXPECT_EQ(LabelsOf(s.g), (std::vector<std::string>{"db", "+0", "+0", "0.5x"}));
}

TEST(Scales, GridLinesAreGreyAddedLinesAndLabelsLeaveTheEdges)
{
    RecordingGraphics g;
    TextStyle style("Arial", 12, Colour(255, 0, 128, 255), TextNormal, AlignCentre, 0);
    Scales scales(Rect(0, 0, 232, 96), style, 1.0f);
    scales.DrawGridLine(g, 0.25f, "-6", 1);
    ASSERT_EQ(g.lines.size(), 1u);
    EXPECT_EQ(g.lines[0].x1, 16.0f);
    EXPECT_EQ(g.lines[0].x2, 232.0f);
    EXPECT_EQ(g.lines[0].y1, 24.0f);
    EXPECT_EQ(g.lines[0].blend, BlendKind::Add);
    EXPECT_FALSE(g.lines[0].antiAlias);
    EXPECT_EQ(g.texts.at(0).rect, Rect(2, 19, 16, 29));
    EXPECT_EQ(style.align, AlignCentre);

    g.Forget();
    scales.DrawGridLine(g, 0.5f, "1k", 0);
    ASSERT_EQ(g.lines.size(), 1u);
    EXPECT_EQ(g.lines[0].x1, 116.0f);
    EXPECT_EQ(g.lines[0].y1, 10.0f);
    EXPECT_EQ(g.lines[0].y2, 96.0f);
    EXPECT_EQ(g.texts.at(0).rect, Rect(106, 0, 126, 10));

    // At the very edge of the label ranges, and without a label, only the line is drawn.
    for (float p : {0.05f, 0.95f}) scales.DrawGridLine(g, p, "x", 1);
    for (float p : {0.03f, 0.88f}) scales.DrawGridLine(g, p, "x", 0);
    scales.DrawGridLine(g, 0.5f, "", 0);
    EXPECT_EQ(g.lines.size(), 6u);
    EXPECT_EQ(g.texts.size(), 1u);
    scales.DrawGridLine(g, 0.051f, "x", 1);
    scales.DrawGridLine(g, 0.879f, "x", 0);
    EXPECT_EQ(g.texts.size(), 3u);
}

TEST(Scales, FrequencyLabels)
{
    EXPECT_EQ(Scales::FrequencyLabel(0), "0");
    EXPECT_EQ(Scales::FrequencyLabel(100), "100");
    EXPECT_EQ(Scales::FrequencyLabel(500), "500");
    EXPECT_EQ(Scales::FrequencyLabel(1000), "1k");
    EXPECT_EQ(Scales::FrequencyLabel(7500), "7.5k");
    EXPECT_EQ(Scales::FrequencyLabel(10000), "10k");
    EXPECT_EQ(Scales::FrequencyLabel(12500), "12.5k");
    EXPECT_EQ(Scales::FrequencyLabel(17500), "17.5k");
    EXPECT_EQ(Scales::FrequencyLabel(20000), "20k");

    // The band ends fall outside the label ranges: their lines carry no label.
    ScaleView s;
    s.Draw(1, 1.0, 6);
    EXPECT_EQ(LabelsOf(s.g), (std::vector<std::string>{"12.5k", "13k", "14k", "15k", "1.0x"}));
    s.Draw(3, 1.0, 4);
    EXPECT_EQ(LabelsOf(s.g), (std::vector<std::string>{"2k", "3k", "5k", "1.0x"}));
}

TEST(Scales, PhaseCirclesFollowTheVScale)
{
    ScaleView s;
    s.Draw(2, 1.0);
    ASSERT_EQ(s.g.circles.size(), 3u);
    EXPECT_NEAR(s.g.circles[0].radius, 95.77f, 0.01f);
    EXPECT_EQ(s.g.circles[1].radius, 48.0f);
    EXPECT_NEAR(s.g.circles[2].radius, 24.06f, 0.01f);
    EXPECT_EQ(s.g.circles[1].cx, 116.0f);
    EXPECT_EQ(s.g.circles[1].cy, 48.0f);
    EXPECT_EQ(LabelsOf(s.g), (std::vector<std::string>{"db", "+6", "+0", "-6", "1.0x"}));
    // "+0" sits just right of its circle, above the centre line.
    EXPECT_EQ(s.g.texts[2].rect, Rect(166, 38, 176, 48));
    // Centre line, vertical axis and both diagonals come before the circles.
    ASSERT_GE(s.g.lines.size(), 4u);
    const auto& axis = s.g.lines[s.g.lines.size() - 3];
    EXPECT_EQ(axis.x1, 116.0f);
    EXPECT_EQ(axis.x2, 116.0f);
    const auto& diagonal = s.g.lines.back();
    EXPECT_EQ(diagonal.x1, 68.0f);
    EXPECT_EQ(diagonal.x2, 164.0f);

    s.Draw(2, 20.0);
    EXPECT_EQ(LabelsOf(s.g), (std::vector<std::string>{"db", "-24", "-30", "20.0x"}));
}

TEST(Readout, TimeLevels)
{
    ScaleView s;
    AnalyserView& v = s.e.View();
    v.OnMouseOver(50, 48, MouseKeys());
    s.Draw(0, 1.0);
    EXPECT_EQ(v.ReadoutText(), "-oo dB");
    EXPECT_EQ(s.g.texts.back().rect, Rect(60, 37, 110, 48));
    v.OnMouseOver(50, 24, MouseKeys());
    s.Draw(0, 1.0);
    EXPECT_EQ(v.ReadoutText(), "-6.0 dB");
    EXPECT_EQ(s.g.texts.back().rect, Rect(60, 24, 110, 35));
    v.OnMouseOver(200, 1, MouseKeys());
    s.Draw(0, 2.0);
    EXPECT_EQ(v.ReadoutText(), "-6.2 dB");
    EXPECT_EQ(s.g.texts.back().rect, Rect(154, 1, 196, 12));
    s.Draw(0, 0.5);  // the edge row at half scale is above full scale
    EXPECT_EQ(v.ReadoutText(), "+5.8 dB");
    v.OnMouseOver(116, 72, MouseKeys());
    s.Draw(0, 0.5);  // exactly 0 dB carries the minus sign
    EXPECT_EQ(v.ReadoutText(), "-0.0 dB");
    EXPECT_EQ(s.g.texts.back().rect, Rect(70, 61, 112, 72));

    // Off the view (column 0 or row 0) there is no readout.
    v.OnMouseOut();
    s.Draw(0, 1.0);
    EXPECT_EQ(s.g.texts.back().text, "1.0x");
}

TEST(Readout, FrequenciesInWholeHertzAndNothingInPhase)
{
    ScaleView s;
    AnalyserView& v = s.e.View();
    v.OnMouseOver(1, 50, MouseKeys());
    s.Draw(1, 1.0, 2);  // 100 - 500 Hz
    const std::string low = v.ReadoutText();
    ASSERT_EQ(low.find('.'), std::string::npos) << low;
    EXPECT_NEAR(std::atof(low.c_str()), 100.0, 6.0) << low;
    EXPECT_EQ(low.substr(low.size() - 3), " Hz");
    v.OnMouseOver(231, 50, MouseKeys());
    s.Draw(1, 1.0, 2);
    EXPECT_NEAR(std::atof(v.ReadoutText().c_str()), 495.0, 6.0) << v.ReadoutText();

    // Over the caption the text stays what it was.
    v.OnMouseOver(220, 5, MouseKeys());
    s.Draw(1, 1.0, 0);
    EXPECT_EQ(std::atof(v.ReadoutText().c_str()), std::atof(s.g.texts.back().text.c_str()));
    EXPECT_NEAR(std::atof(v.ReadoutText().c_str()), 495.0, 6.0);

    // The spectrogram reads upwards: the top row is the band's high end.
    v.OnMouseOver(50, 1, MouseKeys());
    s.Draw(3, 1.0, 2);
    EXPECT_NEAR(std::atof(v.ReadoutText().c_str()), 500.0, 40.0) << v.ReadoutText();
    v.OnMouseOver(50, 95, MouseKeys());
    s.Draw(3, 1.0, 2);
    EXPECT_NEAR(std::atof(v.ReadoutText().c_str()), 100.0, 40.0) << v.ReadoutText();

    v.OnMouseOver(50, 50, MouseKeys());
    const std::string before = v.ReadoutText();
    s.Draw(2, 1.0);
    EXPECT_EQ(s.g.texts.back().text, "1.0x");
    EXPECT_EQ(v.ReadoutText(), before);
}
