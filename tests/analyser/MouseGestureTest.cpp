// The user's gestures on the editor, sent through the headless window as its window
// procedure would receive them, and what they do to the parameters, the host and the picture.
#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/analyser/DisplayTestSupport.h"
#include "tests/analyser/PluginFolder.h"

namespace {

MouseKeys Keys(bool left, bool right, bool shift = false, bool ctrl = false, bool alt = false)
{
    MouseKeys k;
    k.left = left;
    k.right = right;
    k.shift = shift;
    k.ctrl = ctrl;
    k.alt = alt;
    return k;
}

const MouseKeys kLeft = Keys(true, false);
const MouseKeys kRight = Keys(false, true);
const MouseKeys kNone = Keys(false, false);

const Colour kDefaultBackground(255, 0, 0, 0);
const Colour kDefaultFill(255, 220, 220, 100);
const Colour kDefaultEdge(255, 255, 255, 255);
const Colour kDefaultCaption(255, 0, 128, 255);

// The editor with what the user does to it and what the host was told.
struct Gestures : Editor {
    HeadlessWindow& window() const { return Screen(); }
    double Plain(int index) const { return Plugin().ParamAt(index).Value(); }
    // The host sets a plain value, as automation would.
    void Host(int index, double plain)
    {
        AEffect* effect = Plugin().Record();
        effect->setParameter(effect, index, static_cast<float>(Plugin().ParamAt(index).ToNormalized(plain)));
    }
    void Click(int x, int y, const MouseKeys& keys)
    {
        window().MouseDown(x, y, keys);
        window().MouseUp(x, y);
    }
    // The parameters the host was told of, in order, since the last call.
    std::vector<int> Automated()
    {
        std::vector<int> indices;
        for (const HostCall& call : FakeHost::calls)
            if (call.opcode == audioMasterAutomate) indices.push_back(call.index);
        FakeHost::calls.clear();
        return indices;
    }
    void Colours(Colour& background, Colour& fill, Colour& edge, Colour& caption)
    {
        View().GetViewColours(background, fill, edge, caption);
    }
};

}  // namespace

TEST(MouseGestures, ClicksTogglePauseStepTheDomainAndTheZoom)
{
    Gestures e;
    e.Tick();
    e.Automated();

    // A plain click toggles pause through the host's automation path.
    e.Click(100, 50, kLeft);
    EXPECT_EQ(e.Plain(AnalyserPlugin::kPause), 1.0);
    ASSERT_EQ(FakeHost::Count(audioMasterAutomate), 1u);
    EXPECT_EQ(FakeHost::calls.back().index, AnalyserPlugin::kPause);
    EXPECT_EQ(FakeHost::calls.back().opt, 1.0f);
    EXPECT_EQ(e.Automated(), std::vector<int>{AnalyserPlugin::kPause});
    EXPECT_TRUE(e.View().IsDirty());
    e.Tick();
    EXPECT_TRUE(e.View().Paused());
    e.Click(100, 50, kLeft);
    e.Tick();
    EXPECT_FALSE(e.View().Paused());

    // Right clicks cycle time -> freq -> phase -> spectro -> time.
    e.Host(AnalyserPlugin::kDomain, 0);
    e.Automated();
    const int domains[] = {1, 2, 3, 0, 1};
    for (int want : domains) {
        e.Click(30, 30, kRight);
        EXPECT_EQ(e.Plain(AnalyserPlugin::kDomain), want);
        EXPECT_EQ(e.Automated(), std::vector<int>{AnalyserPlugin::kDomain});
        e.Tick();
        EXPECT_EQ(e.View().Domain(), want);
    }

    // The caption box steps the zoom in freq and spectro, wrapping after the seventh band.
    e.Host(AnalyserPlugin::kFftZoom, 5);
    e.Click(212, 0, kLeft);
    EXPECT_EQ(e.Plain(AnalyserPlugin::kFftZoom), 6);
    e.Host(AnalyserPlugin::kDomain, 3);
    e.Click(231, 9, kLeft);
    EXPECT_EQ(e.Plain(AnalyserPlugin::kFftZoom), 0);
    EXPECT_EQ(e.Plain(AnalyserPlugin::kPause), 0.0);
    e.Tick();
    EXPECT_EQ(e.View().FftZoom(), 0);
    // Just outside it, and anywhere in it in time and phase, a click toggles pause.
    e.Click(211, 5, kLeft);
    EXPECT_EQ(e.Plain(AnalyserPlugin::kPause), 1.0);
    e.Click(220, 10, kLeft);
    EXPECT_EQ(e.Plain(AnalyserPlugin::kPause), 0.0);
    for (int domain : {0, 2}) {
        e.Host(AnalyserPlugin::kDomain, domain);
        e.Automated();
        e.Click(220, 5, kLeft);
        EXPECT_EQ(e.Automated(), std::vector<int>{AnalyserPlugin::kPause}) << domain;
        EXPECT_EQ(e.Plain(AnalyserPlugin::kFftZoom), 0) << domain;
        e.Click(220, 5, kLeft);
    }

    // The corner square opens the user guide beside the plug-in and changes nothing else;
    // where none was installed it opens nothing.
    e.Automated();
    const PluginFolder bare(false), installed(true);
    e.window().SetPluginPath(bare.Path());
    e.Click(216, 80, kLeft);
    EXPECT_EQ(e.window().LastUrl(), "");
    e.window().SetPluginPath(installed.Path());
    e.Click(216, 80, kLeft);
    EXPECT_EQ(e.window().LastUrl(), installed.GuideUrl());
    EXPECT_TRUE(e.Automated().empty());
    EXPECT_EQ(e.Plain(AnalyserPlugin::kPause), 0.0);

    // A left click with a modifier only redraws.
    e.Tick();
    for (const MouseKeys& keys :
         {Keys(true, false, true), Keys(true, false, false, true), Keys(true, false, false, false, true)}) {
        e.Click(100, 50, keys);
        EXPECT_TRUE(e.View().IsDirty());
        e.Tick();
    }
    EXPECT_TRUE(e.Automated().empty());
    EXPECT_EQ(e.window().LastColourTitle(), "");
}

TEST(MouseGestures, WheelAndDragScaleWithinTheRange)
{
    Gestures e;
    const auto scale = [&] { return e.Plain(AnalyserPlugin::kVScale); };
    // Plain, ctrl (also with shift) and shift alone, one notch each way.
    const struct {
        MouseKeys keys;
        double step;
    } wheels[] = {{kNone, 0.1}, {Keys(false, false, false, true), 0.01}, {Keys(false, false, true, true), 0.01},
                  {Keys(false, false, true), 1.0}};
    for (const auto& w : wheels) {
        e.Host(AnalyserPlugin::kVScale, 5.0);
        e.Automated();
        e.window().MouseWheel(50, 50, w.keys, 120);
        EXPECT_NEAR(scale(), 5.0 + w.step, 1e-5) << w.step;
        e.window().MouseWheel(50, 50, w.keys, -240);
        EXPECT_NEAR(scale(), 5.0 - w.step, 1e-5) << w.step;
        EXPECT_EQ(e.Automated(), (std::vector<int>{AnalyserPlugin::kVScale, AnalyserPlugin::kVScale}));
    }
    e.Tick();
    EXPECT_NEAR(e.View().VScale(), 4.0f, 1e-5f);
    // The base control's own wheel never runs for the view: its value stays untouched.
    EXPECT_EQ(e.View().Value(), 0.0);

    // Beyond the range it ends at the limits, however far it is turned.
    e.window().MouseWheel(50, 50, Keys(false, false, true), 32767);
    EXPECT_DOUBLE_EQ(scale(), 20.0);
    e.window().MouseWheel(50, 50, kNone, 120);
    EXPECT_DOUBLE_EQ(scale(), 20.0);
    e.Window().OnMouseWheel(50, 50, Keys(false, false, true), -5000);
    EXPECT_DOUBLE_EQ(scale(), 0.1);
    e.Window().OnMouseWheel(50, 50, Keys(false, false, true), INT32_MIN);
    EXPECT_DOUBLE_EQ(scale(), 0.1);
    e.Window().OnMouseWheel(50, 50, Keys(false, false, true), INT32_MAX);
    EXPECT_DOUBLE_EQ(scale(), 20.0);
    e.Tick();
    EXPECT_EQ(e.View().VScale(), 20.0f);

    // Dragging up with shift adds 0.01 per pixel, with ctrl 0.001.
    e.Host(AnalyserPlugin::kVScale, 1.0);
    e.window().MouseDown(100, 50, Keys(true, false, true));
    e.window().MouseMove(103, 40, Keys(true, false, true));
    EXPECT_NEAR(scale(), 1.1, 1e-5);
    e.window().MouseMove(103, 60, Keys(true, false, false, true));
    EXPECT_NEAR(scale(), 1.08, 1e-5);
    // Without shift or ctrl, or with the right button, a drag changes nothing.
    e.window().MouseMove(103, 0, kLeft);
    e.window().MouseMove(103, 0, Keys(false, true, true));
    EXPECT_NEAR(scale(), 1.08, 1e-5);
    EXPECT_EQ(e.Plain(AnalyserPlugin::kPause), 0.0) << "a press with a modifier does not toggle pause";
    // A huge drag ends at the limits; points far beyond 32 bits of distance apart do not wrap.
    e.window().MouseMove(103, -1000000, Keys(true, false, true));
    EXPECT_DOUBLE_EQ(scale(), 20.0);
    e.window().MouseMove(103, 1000000, Keys(true, false, true));
    EXPECT_DOUBLE_EQ(scale(), 0.1);
    e.window().MouseMove(103, INT32_MIN, Keys(true, false, true));
    EXPECT_DOUBLE_EQ(scale(), 20.0);
    e.window().MouseMove(103, INT32_MAX, Keys(true, false, false, true));
    EXPECT_DOUBLE_EQ(scale(), 0.1);
    e.window().MouseUp(103, 0);
    e.Tick();
    EXPECT_EQ(e.View().VScale(), 0.1f);
}

TEST(MouseGestures, DoubleClickResetsWhatItsModifiersLeave)
{
    const Colour background(255, 1, 2, 3), fill(255, 4, 5, 6), edge(255, 7, 8, 9), caption(255, 10, 11, 12);
    const struct {
        bool shift, ctrl, coloursReset, scaleReset;
    } cases[] = {{false, false, true, true}, {true, false, false, true}, {false, true, true, false},
                 {true, true, false, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "shift " << c.shift << " ctrl " << c.ctrl);
        Gestures e;
        e.Host(AnalyserPlugin::kVScale, 5.0);
        e.Host(AnalyserPlugin::kFftZoom, 3);
        e.View().SetViewColours(background, fill, edge, caption);
        e.Tick();
        e.Automated();
        const double scale = e.Plain(AnalyserPlugin::kVScale);
        e.window().MouseDoubleClick(40, 40, Keys(true, false, c.shift, c.ctrl));
        EXPECT_NEAR(e.Plain(AnalyserPlugin::kVScale), c.scaleReset ? 1.0 : scale, 1e-6);
        EXPECT_EQ(e.Plain(AnalyserPlugin::kFftZoom), c.scaleReset ? 0 : 3);
        EXPECT_EQ(e.Automated(), c.scaleReset ? (std::vector<int>{AnalyserPlugin::kVScale, AnalyserPlugin::kFftZoom})
                                              : std::vector<int>{});
        EXPECT_TRUE(e.View().IsDirty());
        e.Tick();
        EXPECT_EQ(e.View().BackgroundColour(), c.coloursReset ? kDefaultBackground : background);
        EXPECT_EQ(e.View().GraphFillColour(), c.coloursReset ? kDefaultFill : fill);
        EXPECT_EQ(e.View().GraphEdgeColour(), c.coloursReset ? kDefaultEdge : edge);
        EXPECT_EQ(e.View().CaptionStyle().colour, c.coloursReset ? kDefaultCaption : caption);
    }

    // The first press of a double click arrives as a press: pause toggles before the reset.
    Gestures e;
    e.Host(AnalyserPlugin::kVScale, 3.0);
    e.Automated();
    e.Click(40, 40, kLeft);
    e.window().MouseDoubleClick(40, 40, kLeft);
    e.window().MouseUp(40, 40);
    EXPECT_EQ(e.Automated(),
              (std::vector<int>{AnalyserPlugin::kPause, AnalyserPlugin::kVScale, AnalyserPlugin::kFftZoom}));
    e.Tick();
    EXPECT_TRUE(e.View().Paused());
    EXPECT_FLOAT_EQ(e.View().VScale(), 1.0f);
}

TEST(MouseGestures, RightClicksWithModifiersChooseTheFourColours)
{
    Gestures e;
    e.Host(AnalyserPlugin::kDomain, 0);  // silent "time": the background shows at the corners
    const struct {
        MouseKeys keys;
        const char* title;
    } prompts[] = {{Keys(false, true, true, true), "Caption Font Color"},
                   {Keys(false, true, true, false, true), "Background Color"},
                   {Keys(false, true, false, true, true), "Graph Fill Color"},
                   {Keys(false, true, false, false, true), "Graph Edge Color"}};
    // Cancelled: the title is shown, nothing changes but the picture is redrawn.
    for (const auto& p : prompts) {
        e.Tick();
        e.Click(60, 60, p.keys);
        EXPECT_EQ(e.window().LastColourTitle(), p.title);
        EXPECT_TRUE(e.View().IsDirty()) << p.title;
    }
    e.Tick();
    EXPECT_EQ(e.Plain(AnalyserPlugin::kDomain), 0.0) << "no modifier click cycled the domain";
    Colour background, fill, edge, caption;
    e.Colours(background, fill, edge, caption);
    EXPECT_EQ(background, kDefaultBackground);
    EXPECT_EQ(fill, kDefaultFill);
    EXPECT_EQ(edge, kDefaultEdge);
    EXPECT_EQ(caption, kDefaultCaption);

    // Confirmed: red, green and blue replaced, alpha kept; the band graph follows fill and edge.
    e.View().SetViewColours(Colour(128, 0, 0, 0), Colour(), Colour(), Colour());
    const Colour answers[] = {Colour(0, 1, 2, 3), Colour(0, 4, 5, 6), Colour(0, 7, 8, 9), Colour(0, 10, 11, 12)};
    for (int i = 0; i < 4; ++i) {
        e.window().AnswerColourPrompt(true, answers[i]);
        e.Click(60, 60, prompts[i].keys);
    }
    e.window().AnswerColourPrompt(false, Colour());
    e.Colours(background, fill, edge, caption);
    EXPECT_EQ(caption, Colour(255, 1, 2, 3));
    EXPECT_EQ(background, Colour(128, 4, 5, 6));
    EXPECT_EQ(fill, Colour(255, 7, 8, 9));
    EXPECT_EQ(edge, Colour(255, 10, 11, 12));
    e.Tick();
    EXPECT_EQ(e.View().GraphFillColour(), fill);
    EXPECT_EQ(e.View().GraphEdgeColour(), edge);
    EXPECT_EQ(e.View().BackgroundColour(), background);
    EXPECT_EQ(e.View().CaptionStyle().colour, caption);
    EXPECT_EQ(e.Pixel(5, 90) & 0xFFFFFFu, PackColour(background) & 0xFFFFFFu);

    // A stored colour of four zeros is not applied.
    e.View().SetViewColours(Colour(), Colour(0, 0, 0, 0), Colour(), Colour());
    e.Tick();
    EXPECT_EQ(e.View().BackgroundColour(), background);
    EXPECT_EQ(e.View().GraphFillColour(), fill);

    // Without an editor window the prompts do nothing and the colours stay.
    e.Plugin().Record()->dispatcher(e.Plugin().Record(), effEditClose, 0, 0, nullptr, 0.0f);
    e.window().AnswerColourPrompt(true, Colour(0, 99, 99, 99));
    const std::string lastTitle = e.window().LastColourTitle();
    for (const auto& p : prompts) e.Window().OnMouseDown(60, 60, p.keys);
    Colour after[4];
    e.Colours(after[0], after[1], after[2], after[3]);
    EXPECT_EQ(after[0], background);
    EXPECT_EQ(after[1], fill);
    EXPECT_EQ(after[2], edge);
    EXPECT_EQ(after[3], caption);
    EXPECT_EQ(e.window().LastColourTitle(), lastTitle);
}

// Twin editors given the same audio and gestures, one choosing colours and one cancelling:
// after a double click the first draws exactly what the second draws.
TEST(MouseGestures, DoubleClickRestoresTheDefaultColoursInTheNextFrame)
{
    for (int domain : {0, 1}) {
        SCOPED_TRACE(domain == 0 ? "time" : "freq");
        Gestures chosen, plain;
        const Signal tone = Sine(1000.0, 0.6, 48000.0);
        for (Gestures* e : {&chosen, &plain}) {
            e->Host(AnalyserPlugin::kDomain, domain);
            e->Play(tone, 24000);
            e->Tick();
        }
        chosen.window().AnswerColourPrompt(true, Colour(0, 30, 200, 60));
        for (Gestures* e : {&chosen, &plain}) {
            e->Click(60, 60, Keys(false, true, false, true));
            e->Tick();
        }
        chosen.window().AnswerColourPrompt(true, Colour(0, 250, 0, 250));
        for (Gestures* e : {&chosen, &plain}) {
            e->Click(60, 60, Keys(false, true, false, false, true));
            e->Play(tone, 4800);
            e->Tick();
        }
        ASSERT_NE(chosen.window().PresentedPixels(), plain.window().PresentedPixels());
        for (Gestures* e : {&chosen, &plain}) {
            e->Click(60, 60, kLeft);
            e->window().MouseDoubleClick(60, 60, kLeft);
            e->window().MouseUp(60, 60);
            ASSERT_TRUE(e->Tick());
        }
        EXPECT_EQ(chosen.View().GraphFillColour(), kDefaultFill);
        EXPECT_EQ(chosen.window().PresentedPixels(), plain.window().PresentedPixels());
        EXPECT_EQ(plain.View().GraphFillColour(), kDefaultFill);
    }
}
