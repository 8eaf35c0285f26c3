#include "tests/analyser/DisplayTestSupport.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>

#include "tools/SurfacePng.h"

Signal Constant(double left, double right)
{
    return [=](long, double& l, double& r) {
        l = left;
        r = right;
    };
}

Signal Sine(double hz, double amplitude, double rate, double panLeft, double panRight)
{
    return [=](long n, double& l, double& r) {
        const double v = amplitude * std::sin(2.0 * kPi * hz * static_cast<double>(n) / rate);
        l = v * panLeft;
        r = v * panRight;
    };
}

Editor::Editor(double rate)
{
    plugin = static_cast<AnalyserPlugin*>(PluginCore::FromRecord(instance.get()));
    instance.Dispatch(effOpen);
    instance.Dispatch(effSetSampleRate, 0, 0, nullptr, static_cast<float>(rate));
    instance.Dispatch(effEditOpen, 0, 0, &parent);
    view = plugin->View();
    graphics = static_cast<GraphicsRaster*>(plugin->GetGraphics());
}

Editor::~Editor() { instance.Dispatch(effEditClose); }

void Editor::Show(int domain, double vScale, int fftZoom, bool pause)
{
    view->SetViewState(domain, vScale, pause, fftZoom, &plugin->Lock());
}

void Editor::Play(const Signal& signal, int frames)
{
    const int block = 512;
    std::vector<double> l(block), r(block), ol(block), orr(block);
    while (frames > 0) {
        const int n = std::min(frames, block);
        for (int i = 0; i < n; ++i) signal(sampleCount++, l[static_cast<size_t>(i)], r[static_cast<size_t>(i)]);
        double* in[2] = {l.data(), r.data()};
        double* out[2] = {ol.data(), orr.data()};
        instance->processDoubleReplacing(instance.get(), in, out, n);
        frames -= n;
    }
}

bool Editor::Tick() { return graphics->Tick(); }

void Editor::Redraw()
{
    view->MarkDirty(false);
    graphics->Tick();
}

std::vector<std::string> RecordingGraphics::TextsDrawn() const
{
    std::vector<std::string> all;
    for (const Text& t : texts) all.push_back(t.text);
    return all;
}

void ExpectPicture(const Surface& s, const std::string& name)
{
    const std::string actualDir = QUILLOGRAPH_ACTUAL_DIR;
    mkdir(actualDir.c_str(), 0755);
    const std::string actual = actualDir + "/" + name + ".png";
    const std::string expectedPath = std::string(QUILLOGRAPH_EXPECTED_DIR) + "/" + name + ".png";
    ASSERT_TRUE(WriteSurfacePng(s, actual)) << actual;
    const auto expected = ReadSurfacePng(expectedPath);
    ASSERT_TRUE(expected) << "no expected picture " << expectedPath << "; look at " << actual
                          << " and store it there if it is right";
    ASSERT_EQ(expected->width(), s.width());
    ASSERT_EQ(expected->height(), s.height());
    int differing = 0;
    std::string first;
    for (int32_t y = 0; y < s.height(); ++y)
        for (int32_t x = 0; x < s.width(); ++x) {
            const uint32_t want = SurfaceRow(*expected, y)[x], got = SurfaceRow(s, y)[x];
            if (want != got && differing++ == 0) {
                char text[96];
                std::snprintf(text, sizeof text, "(%d, %d): expected %08X, drew %08X", x, y, want, got);
                first = text;
            }
        }
    EXPECT_EQ(differing, 0) << name << ": first difference at " << first << "; see " << actual;
}
