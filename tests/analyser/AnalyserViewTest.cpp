#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "../plugin/FakeHost.h"
#include "analyser/AnalyserPlugin.h"
#include "analyser/AnalyserView.h"
#include "graphics/GraphicsRaster.h"
#include "graphics/native/HeadlessWindow.h"

namespace {

// An instance with its editor, driven as a host and the window timer drive it.
struct Editor {
    PluginUnderTest p;
    AnalyserPlugin* plugin;
    AnalyserView* view;
    HeadlessWindow* window;

    explicit Editor(bool open = true)
        : plugin(static_cast<AnalyserPlugin*>(PluginCore::FromRecord(p.get()))),
          view(plugin->View()),
          window(HeadlessWindow::Of(plugin->GetGraphics()))
    {
        if (open) p.Dispatch(effOpen);
    }
    void Draw() { view->Draw(*plugin->GetGraphics()); }
    void Set(int index, float value) { p->setParameter(p.get(), index, value); }
    void Process(int frames, double left, double right)
    {
        std::vector<double> l(frames, left), r(frames, right), ol(frames), orr(frames);
        double* in[2] = {l.data(), r.data()};
        double* out[2] = {ol.data(), orr.data()};
        p->processDoubleReplacing(p.get(), in, out, frames);
    }
    void State(int32_t domain, double vScale, bool pause, int32_t zoom)
    {
        view->SetViewState(domain, vScale, pause, zoom, &plugin->Lock());
    }
};

const Colour kBlack(255, 0, 0, 0);

}  // namespace

TEST(AnalyserView, BuiltWithItsInitialState)
{
    FakeHost::Reset();
    Editor e(false);
    AnalyserView& v = *e.view;
    EXPECT_EQ(v.Domain(), -1);
    EXPECT_FALSE(v.Paused());
    EXPECT_TRUE(v.RefreshAll());
    EXPECT_EQ(v.VScale(), 1.0f);
    EXPECT_EQ(v.SampleRate(), 24000.0);
    EXPECT_EQ(v.FftZoom(), 0);
    EXPECT_EQ(v.NewSamples(), 0);
    EXPECT_EQ(v.MouseX(), 0);
    EXPECT_FALSE(v.IsHidden());
    EXPECT_EQ(v.ParamIdx(), -1);
    EXPECT_EQ(v.DrawRect(), Rect(0, 0, 232, 96));
    EXPECT_EQ(v.CaptionBox(), Rect(212, 0, 232, 10));
    EXPECT_EQ(v.CornerSquare(), Rect(216, 80, 232, 96));
    for (const SampleRing* ring : {&v.RingLeft(), &v.RingRight()}) {
        EXPECT_EQ(ring->Length(), 24000);
        EXPECT_EQ(ring->WritePosition(), 0);
        EXPECT_EQ(ring->At(12345), 0.0);
    }
    EXPECT_EQ(v.Estimator().samples.Length(), 8192);
    EXPECT_EQ(v.CaptionStyle().face, "Arial");
    EXPECT_EQ(v.CaptionStyle().size, 12);
    EXPECT_EQ(v.CaptionStyle().colour, Colour(255, 0, 128, 255));
    EXPECT_EQ(v.CaptionStyle().align, 1);
    EXPECT_EQ(v.BackgroundColour(), kBlack);
    EXPECT_EQ(v.GraphEdgeColour(), Colour(255, 255, 255, 255));
    EXPECT_EQ(v.GraphFillColour(), Colour(255, 220, 220, 100));

    const int freqCounts[] = {10, 7, 7, 7, 8, 8, 7};
    const int spectroCounts[] = {7, 5, 6, 5, 5, 5, 6};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(v.FreqBand(i).gridFrequencies.Size(), freqCounts[i]) << i;
        EXPECT_EQ(v.FreqBand(i).gridPositions.Size(), freqCounts[i]) << i;
        EXPECT_EQ(v.SpectroBand(i).gridFrequencies.Size(), spectroCounts[i]) << i;
    }
    EXPECT_EQ(v.FreqBand(0).lowFrequency, 0.0);
    EXPECT_EQ(v.FreqBand(0).highFrequency, 18000.0);
    EXPECT_EQ(v.FreqBand(1).lowFrequency, 25.0);
    EXPECT_EQ(v.SpectroBand(1).lowFrequency, 20.0);
    EXPECT_EQ(v.SpectroBand(6).highFrequency, 20000.0);
    EXPECT_EQ(v.FreqBand(5).gridFrequencies[6], 11000);
}

TEST(AnalyserView, DomainsSizeTheirBuffers)
{
    FakeHost::Reset();
    Editor e;
    e.Draw();
    EXPECT_EQ(e.view->Domain(), 1);
    EXPECT_EQ(e.view->Freq().Curve().Size(), 232);
    EXPECT_EQ(e.view->Freq().Smoothed().Size(), 232);
    // Emptied by the change, then spread anew by the graph's drawing.
    EXPECT_EQ(e.view->Freq().XPositions().Size(), 232);

    e.Set(AnalyserPlugin::kDomain, 2.0f / 3.0f);
    e.Draw();
    EXPECT_EQ(e.view->Domain(), 2);
    EXPECT_EQ(e.view->Phase().XPoints().Size(), 24000);
    EXPECT_EQ(e.view->Phase().YPoints().Size(), 24000);
    ASSERT_EQ(e.view->Phase().Intensities().Columns(), 232);
    EXPECT_EQ(e.view->Phase().Intensities().Column(231).Size(), 96);

    e.Set(AnalyserPlugin::kDomain, 1.0f);
    e.Draw();
    EXPECT_EQ(e.view->Domain(), 3);
    EXPECT_EQ(e.view->Estimator().samples.Length(), 1024);

    e.Set(AnalyserPlugin::kDomain, 0.0f);
    e.Draw();
    EXPECT_EQ(e.view->Domain(), 0);
    EXPECT_EQ(e.view->Estimator().samples.Length(), 8192);
    EXPECT_EQ(e.view->Time().FirstCurve().Size(), 232);
    EXPECT_EQ(e.view->Time().SecondCurve().Size(), 232);
    EXPECT_EQ(e.view->Time().XPositions().Size(), 232);

    // A host value halfway is rounded to the nearest step: "phase".
    e.Set(AnalyserPlugin::kDomain, 0.5f);
    e.Draw();
    EXPECT_EQ(e.view->Domain(), 2);
}

TEST(AnalyserView, PauseFreezesTheHistoryWhileStagingGoesOn)
{
    FakeHost::Reset();
    Editor e;
    e.Process(100, 0.5, -0.5);
    e.Draw();
    EXPECT_EQ(e.plugin->StagedCount(), 0);
    EXPECT_EQ(e.view->RingLeft().WritePosition(), 100);
    EXPECT_EQ(e.view->RingRight().At(99), -0.5);

    e.Set(AnalyserPlugin::kPause, 0.5f);  // half counts as on
    e.Draw();
    EXPECT_TRUE(e.view->Paused());
    e.Process(50, 0.25, 0.75);
    e.Draw();
    EXPECT_EQ(e.view->NewSamples(), 0);
    EXPECT_EQ(e.plugin->StagedCount(), 50);
    EXPECT_EQ(e.view->RingLeft().WritePosition(), 100);

    e.Set(AnalyserPlugin::kPause, 0.49f);
    e.Draw();
    EXPECT_FALSE(e.view->Paused());
    EXPECT_EQ(e.plugin->StagedCount(), 0);
    EXPECT_EQ(e.view->RingLeft().WritePosition(), 150);
    EXPECT_EQ(e.view->RingLeft().At(149), 0.25);
    EXPECT_EQ(e.view->RingRight().At(149), 0.75);
}

// A domain without a display leaves newSamples as the draw computed it.
TEST(AnalyserView, RefreshAllRebuildsFromTheWholeHistory)
{
    FakeHost::Reset();
    Editor e(false);
    e.State(4, 1.0, true, 0);
    e.Draw();
    EXPECT_EQ(e.view->NewSamples(), 24000);  // the first draw after construction
    EXPECT_FALSE(e.view->RefreshAll());
    e.Draw();
    EXPECT_EQ(e.view->NewSamples(), 0);

    // A v-scale change while paused redraws the frozen history at the new scale.
    e.State(4, 2.0, true, 0);
    e.Draw();
    EXPECT_EQ(e.view->NewSamples(), 24000);
    EXPECT_EQ(e.view->VScale(), 2.0f);

    // Toggling pause does not refresh: only what was staged is new.
    e.Draw();
    e.Process(30, 1, 1);
    e.State(4, 2.0, false, 0);
    e.Draw();
    EXPECT_EQ(e.view->NewSamples(), 30);
    e.State(4, 2.0, false, 0);
    e.Draw();
    EXPECT_EQ(e.view->NewSamples(), 24000);

    // Never more new samples than the history holds.
    for (int i = 0; i < 3; ++i) {
        e.Process(24000, 0, 0);
        e.Draw();
    }
    EXPECT_EQ(e.view->NewSamples(), 24000);

    // A real display consumes them.
    e.State(1, 2.0, false, 0);
    e.Draw();
    EXPECT_EQ(e.view->NewSamples(), 0);
}

TEST(AnalyserView, MixIntensityColour)
{
    const Colour background(255, 0, 0, 0);
    const Colour fill(255, 220, 220, 100);
    EXPECT_EQ(AnalyserView::MixIntensityColour(Colour(7, 1, 2, 3), fill, 0.0), Colour(7, 1, 2, 3));
    EXPECT_EQ(AnalyserView::MixIntensityColour(background, fill, 1.0), Colour(255, 219, 219, 99));
    EXPECT_EQ(AnalyserView::MixIntensityColour(background, fill, 0.5), Colour(255, 109, 109, 49));
    // Above 1 the mix carries on past the target until each channel clips.
    EXPECT_EQ(AnalyserView::MixIntensityColour(background, fill, 2.0), Colour(255, 255, 255, 199));
    // Towards a darker target: truncation toward zero, then the clip at 0; alpha is the background's.
    EXPECT_EQ(AnalyserView::MixIntensityColour(Colour(9, 200, 200, 200), Colour(0, 0, 0, 150), 1.5),
              Colour(9, 0, 0, 126));
    EXPECT_EQ(AnalyserView::MixIntensityColour(background, fill, 1e300), Colour(255, 255, 255, 255));
    EXPECT_EQ(AnalyserView::MixIntensityColour(background, fill, -1e300), background);
    EXPECT_EQ(AnalyserView::MixIntensityColour(background, fill, std::nan("")), background);
}

TEST(AnalyserView, IntensityPaletteGivesTheMixedColourPacked)
{
    const double intensities[] = {0.0, -0.0, 1e-9, 0.5 / 255, 1.0 / 255, 0.37, 1.0, 2.0, 16.0 - 1e-9, 16.0,
                                  16.07, 300.0, 1e300, -1e-9, -0.99 / 255, -3.0, -1e300,
                                  std::nan(""), HUGE_VAL, -HUGE_VAL};
    // The last pair's background lies outside 0..255, so its weight-0 colour is not the background.
    const Colour pairs[][2] = {{Colour(255, 0, 0, 0), Colour(255, 220, 220, 100)},
                               {Colour(9, 200, 200, 200), Colour(0, 0, 0, 150)},
                               {Colour(255, 300, -5, 7), Colour(255, 1, 2, 3)}};
    IntensityPalette palette;
    for (const auto& pair : pairs) {
        palette.Prepare(pair[0], pair[1]);
        for (const double v : intensities) {
            const uint32_t expected = PackColour(AnalyserView::MixIntensityColour(pair[0], pair[1], v));
            EXPECT_EQ(palette.Packed(v), expected) << v;
            if (palette.ZeroIsBackground()) EXPECT_EQ(palette.PackedIgnoringZero(v), expected) << v;
        }
        // Runs, four at a time where they can, with the floats on either side of the table's end.
        std::vector<float> run = {0x1.0101p+4f, 0x1.010102p+4f, 1.0f, 0.5f};
        for (const double v : intensities) run.push_back(static_cast<float>(v));
        for (const float v : {0.25f, 0x1.0101p+4f, 16.0f, 0.125f}) run.push_back(v);
        std::vector<uint32_t> packed(run.size());
        EXPECT_FALSE(palette.PackRun(run.data(), static_cast<int>(run.size()), packed.data(), 1));
        for (size_t i = 0; i < run.size(); ++i) EXPECT_EQ(packed[i], palette.Packed(run[i])) << run[i];
        // It answers whether the run was all +0, over the vector part and the tail alike.
        for (const size_t at : {size_t(2), size_t(8), size_t(9)}) {
            std::vector<float> zeros(9, 0.0f);
            EXPECT_TRUE(palette.PackRun(zeros.data(), 9, packed.data(), 1));
            zeros[at - 1] = -0.0f;
            EXPECT_FALSE(palette.PackRun(zeros.data(), 9, packed.data(), 1)) << at;
        }
        EXPECT_EQ(palette.ZeroIsBackground(), pair[0].r >= 0 && pair[0].r <= 255);
    }
}

TEST(AnalyserView, SetViewColoursIgnoresAllZeroColours)
{
    FakeHost::Reset();
    Editor e;
    e.Draw();
    e.view->SetClean();
    e.view->SetViewColours(Colour(), Colour(0, 10, 0, 0), Colour(255, 1, 2, 3), Colour(0, 0, 0, 0));
    EXPECT_TRUE(e.view->IsDirty());
    Colour background, fill, edge, caption;
    e.view->GetViewColours(background, fill, edge, caption);
    EXPECT_EQ(background, kBlack);
    EXPECT_EQ(fill, Colour(0, 10, 0, 0));  // alpha 0 with another component set is a colour
    EXPECT_EQ(edge, Colour(255, 1, 2, 3));
    EXPECT_EQ(caption, Colour(255, 0, 128, 255));
    e.Draw();
    EXPECT_EQ(e.view->BackgroundColour(), kBlack);
    EXPECT_EQ(e.view->GraphFillColour(), Colour(0, 10, 0, 0));
    EXPECT_EQ(e.view->GraphEdgeColour(), Colour(255, 1, 2, 3));
    EXPECT_EQ(e.view->CaptionStyle().colour, Colour(255, 0, 128, 255));
    e.view->SetViewColours(Colour(255, 40, 50, 60), Colour(), Colour(), Colour(255, 9, 9, 9));
    e.Draw();
    EXPECT_EQ(e.view->BackgroundColour(), Colour(255, 40, 50, 60));
    EXPECT_EQ(e.view->GraphFillColour(), Colour(0, 10, 0, 0));
    EXPECT_EQ(e.view->CaptionStyle().colour, Colour(255, 9, 9, 9));
}

TEST(AnalyserView, BandPositionsFollowTheSampleRate)
{
    FakeHost::Reset();
    Editor e;
    e.p.Dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
    e.Draw();
    EXPECT_EQ(e.view->SampleRate(), 44100.0);
    for (int i = 0; i < 7; ++i) {
        const ZoomBand& band = e.view->FreqBand(i);
        EXPECT_EQ(band.lowColumn, FrequencyToIndex(band.lowFrequency, 44100.0, 8192, true));
        EXPECT_EQ(band.highColumn, FrequencyToIndex(band.highFrequency, 44100.0, 8192, true));
        ASSERT_GT(band.highColumn, band.lowColumn) << i;
        const float span = static_cast<float>(band.highColumn - band.lowColumn);
        const int n = band.gridPositions.Size();
        EXPECT_FLOAT_EQ(band.gridPositions[0], 0.5f / span) << i;
        EXPECT_FLOAT_EQ(band.gridPositions[n - 1], (span + 0.5f) / span) << i;
        for (int k = 1; k < n; ++k) EXPECT_GT(band.gridPositions[k], band.gridPositions[k - 1]);
        // The spectrogram's axis runs from the bottom.
        const ZoomBand& flipped = e.view->SpectroBand(i);
        const float spectroSpan = static_cast<float>(flipped.highColumn - flipped.lowColumn);
        EXPECT_FLOAT_EQ(flipped.gridPositions[0], 1.0f - 0.5f / spectroSpan) << i;
        EXPECT_LT(flipped.gridPositions[1], flipped.gridPositions[0]);
    }

    // Rates that are no positive number keep the previous one.
    for (float bad : {std::numeric_limits<float>::quiet_NaN(), 0.0f, -48000.0f,
                      std::numeric_limits<float>::infinity()}) {
        e.p.Dispatch(effSetSampleRate, 0, 0, nullptr, bad);
        e.Draw();
        EXPECT_EQ(e.view->SampleRate(), 44100.0) << bad;
    }

    // At 22050 Hz the top band lies above the Nyquist frequency and collapses onto one
    // column: its positions stay numbers.
    e.p.Dispatch(effSetSampleRate, 0, 0, nullptr, 22050.0f);
    e.Draw();
    const ZoomBand& top = e.view->FreqBand(6);
    EXPECT_EQ(top.lowColumn, top.highColumn);
    for (int k = 0; k < top.gridPositions.Size(); ++k) EXPECT_TRUE(std::isfinite(top.gridPositions[k]));
    for (int k = 0; k < e.view->SpectroBand(6).gridPositions.Size(); ++k)
        EXPECT_TRUE(std::isfinite(e.view->SpectroBand(6).gridPositions[k]));
}

TEST(AnalyserView, FftZoomStaysInsideTheBandTables)
{
    FakeHost::Reset();
    Editor e;
    e.Set(AnalyserPlugin::kFftZoom, -1.0f);  // the host path has no lower clamp: the value is -6
    EXPECT_LT(e.plugin->ParamAt(AnalyserPlugin::kFftZoom).Value(), 0.0);
    e.Draw();
    EXPECT_EQ(e.view->FftZoom(), 0);
    e.Set(AnalyserPlugin::kFftZoom, 0.5f);
    e.Draw();
    EXPECT_EQ(e.view->FftZoom(), 3);
    for (int32_t zoom : {7, 99, INT32_MAX}) {
        e.State(1, 1.0, false, zoom);
        e.Draw();
        EXPECT_EQ(e.view->FftZoom(), 6);
    }
    e.State(1, 1.0, false, INT32_MIN);
    e.Draw();
    EXPECT_EQ(e.view->FftZoom(), 0);
}

TEST(AnalyserView, PaintsBackgroundAndCaption)
{
    FakeHost::Reset();
    Editor e;
    int parent = 0;
    ASSERT_EQ(e.p.Dispatch(effEditOpen, 0, 0, &parent), 1);
    e.Set(AnalyserPlugin::kVScale, static_cast<float>((2.345 - 0.1) / 19.9));
    e.Set(AnalyserPlugin::kDomain, 0.0f);  // silent "time": nothing drawn near the corners
    e.view->SetViewColours(Colour(255, 200, 0, 0), Colour(), Colour(), Colour(255, 255, 255, 255));
    ASSERT_TRUE(e.window->Tick());
    EXPECT_EQ(e.window->PresentedPixel(5, 90), 0xFFC80000u);
    EXPECT_EQ(e.window->PresentedPixel(231, 95), 0xFFC80000u);

    // The caption box holds "2.3x" as the same text drawn by hand would look.
    std::unique_ptr<Graphics> expected(CreateGraphics(nullptr, 232, 96, 24.0));
    expected->CreateSurface();
    expected->FillRect(Colour(255, 200, 0, 0), Rect(0, 0, 232, 96), Blend(BlendKind::Copy, 1.0f));
    expected->DrawText(e.view->CaptionStyle(), "2.3x", e.view->CaptionBox());
    int differing = 0, inked = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 190; x < 232; ++x) {
            const uint32_t want = PackColour(expected->GetPixel(x, y));
            differing += e.window->PresentedPixel(x, y) != want;
            inked += want != 0xFFC80000u;
        }
    EXPECT_GT(inked, 0);
    EXPECT_EQ(differing, 0);
}

TEST(AnalyserView, PointerOverTheViewIsStored)
{
    FakeHost::Reset();
    Editor e;
    int parent = 0;
    ASSERT_EQ(e.p.Dispatch(effEditOpen, 0, 0, &parent), 1);
    e.window->Tick();
    EXPECT_FALSE(e.view->IsDirty());
    e.window->MouseMove(30, 40, MouseKeys());
    EXPECT_EQ(e.view->MouseX(), 30);
    EXPECT_EQ(e.view->MouseY(), 40);
    EXPECT_TRUE(e.view->IsDirty());
    e.window->Tick();
    e.window->MouseLeave();
    EXPECT_EQ(e.view->MouseX(), 0);
    EXPECT_EQ(e.view->MouseY(), 0);
    EXPECT_TRUE(e.view->IsDirty());
}

TEST(IntensityGrid, ColumnsKeepTheirContentsAsTheGridGrows)
{
    IntensityGrid grid;
    ASSERT_TRUE(grid.Resize(3, 4, true));
    grid.Column(2)[3] = 1.5f;
    // Growing the vector moves the existing columns; their floats survive.
    ASSERT_TRUE(grid.Resize(200, 4, false));
    EXPECT_EQ(grid.Columns(), 200);
    EXPECT_EQ(grid.Column(2)[3], 1.5f);
    EXPECT_EQ(grid.Column(199).Size(), 4);
    grid.Clear();
    EXPECT_EQ(grid.Column(2)[3], 0.0f);
    EXPECT_TRUE(grid.Resize(-1, 4, true));
    EXPECT_EQ(grid.Columns(), 0);
}
