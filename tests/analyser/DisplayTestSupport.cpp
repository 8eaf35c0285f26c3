#include "tests/analyser/DisplayTestSupport.h"

#include <algorithm>
#include <cstdio>

#include "tests/PictureExpectation.h"

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

bool Editor::ShowHistory(int domain, const Signal& signal, double vScale, int fftZoom)
{
    Show(domain, vScale, fftZoom);
    Play(signal, 24000);
    return Tick();
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
    ExpectStoredPicture(s, QUILLOGRAPH_EXPECTED_DIR, QUILLOGRAPH_ACTUAL_DIR, name);
}
