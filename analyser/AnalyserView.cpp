#include "analyser/AnalyserView.h"

#include <cstdint>
#include <new>

#include "analyser/IntensityPalette.h"
#include "analyser/SampleStaging.h"
#include "graphics/Graphics.h"
#include "plugin/FormatString.h"

namespace {

// Grid frequencies of the zoom bands, in Hz, by fft zoom.
constexpr int32_t kFreq0[] = {0, 100, 500, 1000, 2000, 3000, 4000, 5000, 10000, 18000};
constexpr int32_t kFreq1[] = {25, 50, 75, 100, 125, 150, 200};
constexpr int32_t kFreq2[] = {100, 150, 200, 250, 300, 400, 500};
constexpr int32_t kFreq3[] = {500, 600, 750, 1000, 1200, 1500, 2000};
constexpr int32_t kFreq4[] = {1000, 1500, 2000, 3000, 4000, 5000, 6000, 7500};
constexpr int32_t kFreq5[] = {7500, 8000, 8500, 9000, 9500, 10000, 11000, 12000};
constexpr int32_t kFreq6[] = {12000, 12500, 13000, 14000, 15000, 17500, 20000};
constexpr int32_t kSpectro0[] = {0, 500, 1000, 2000, 5000, 10000, 18000};
constexpr int32_t kSpectro1[] = {20, 50, 100, 150, 200};
constexpr int32_t kSpectro2[] = {100, 150, 200, 300, 400, 500};
constexpr int32_t kSpectro3[] = {500, 750, 1000, 1500, 2000};
constexpr int32_t kSpectro4[] = {1000, 2000, 3000, 5000, 7500};
constexpr int32_t kSpectro5[] = {7500, 8000, 9000, 10000, 12000};
constexpr int32_t kSpectro6[] = {12000, 13000, 14000, 15000, 17500, 20000};

template <size_t N>
constexpr int Count(const int32_t (&)[N])
{
    return static_cast<int>(N);
}

const int32_t* const kFreqGrids[] = {kFreq0, kFreq1, kFreq2, kFreq3, kFreq4, kFreq5, kFreq6};
const int kFreqCounts[] = {Count(kFreq0), Count(kFreq1), Count(kFreq2), Count(kFreq3),
                           Count(kFreq4), Count(kFreq5), Count(kFreq6)};
const int32_t* const kSpectroGrids[] = {kSpectro0, kSpectro1, kSpectro2, kSpectro3, kSpectro4, kSpectro5, kSpectro6};
const int kSpectroCounts[] = {Count(kSpectro0), Count(kSpectro1), Count(kSpectro2), Count(kSpectro3),
                              Count(kSpectro4), Count(kSpectro5), Count(kSpectro6)};

}  // namespace

AnalyserView::AnalyserView(PluginCore* plug, SampleStaging* staging, Graphics* editor)
    : BandGraphControl(plug, Rect(0, 0, kEditorWidth, kEditorHeight), ViewRequest::kDefaultEdge, true,
                       Blend(BlendKind::Copy, 1.0f), true),
      domain(-1),
      paused(false),
      refreshAll(true),
      vScale(1.0f),
      sampleRate(24000.0),
      samplesPerColumn(0.0),
      mouseX(0),
      mouseY(0),
      captionStyle("Arial", 12, ViewRequest::kDefaultCaption, TextNormal, AlignCentre, 0),
      staging(staging),
      backgroundColour(ViewRequest::kDefaultBackground),
      fillColour(ViewRequest::kDefaultFill),
      edgeColour(ViewRequest::kDefaultEdge),
      fftZoom(0),
      graphWidth(drawRect.right - drawRect.left),
      graphHeight(drawRect.bottom - drawRect.top),
      cx(static_cast<float>(drawRect.left + drawRect.right) * 0.5f),
      cy(static_cast<float>(drawRect.top + drawRect.bottom) * 0.5f),
      captionBox(drawRect.right - 20, drawRect.top, drawRect.right, drawRect.top + 10),
      cornerSquare(drawRect.right - 16, drawRect.bottom - 16, drawRect.right, drawRect.bottom),
      readout(drawRect, captionBox),
      timeDisplay(drawRect),
      freqDisplay(drawRect),
      phaseDisplay(drawRect),
      spectroDisplay(drawRect),
      request(PluginLock()),
      gestures(plug, editor, request, captionBox, cornerSquare)
{
    ringLeft.Resize(kHistoryLength, true);
    ringLeft.SetWritePosition(0);
    ringRight.Resize(kHistoryLength, true);
    ringRight.SetWritePosition(0);
    estimator.samples.Resize(kFreqFrameSize, true);
    estimator.samples.SetWritePosition(0);

    SetGraphColours(edgeColour, fillColour);
    samplesPerColumn = static_cast<double>(kHistoryLength) / graphWidth;

    BuildBands(freqBands, kFreqGrids, kFreqCounts);
    BuildBands(spectroBands, kSpectroGrids, kSpectroCounts);
    // The displays may read the positions before any host rate arrives.
    ComputeBandPositions();

    SetHidden(false);
}

bool AnalyserView::BuildBands(std::vector<ZoomBand>& bands, const int32_t* const* grids, const int* counts)
{
    try {
        bands.resize(kBandCount);
    } catch (const std::bad_alloc&) {
        bands.clear();
        return false;
    }
    bool complete = true;
    for (int i = 0; i < kBandCount; ++i) complete = bands[static_cast<size_t>(i)].SetGrid(grids[i], counts[i]) && complete;
    return complete;
}

CriticalSection* AnalyserView::PluginLock() const { return plug ? &plug->Lock() : nullptr; }

void AnalyserView::OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys)
{
    gestures.OnMouseDown(x, y, keys);
    MarkDirty(true);
}

void AnalyserView::OnMouseDrag(int32_t, int32_t, int32_t, int32_t dy, const MouseKeys& keys)
{
    if (gestures.OnMouseDrag(dy, keys)) MarkDirty(true);
}

void AnalyserView::OnMouseWheel(int32_t, int32_t, const MouseKeys& keys, int32_t steps)
{
    gestures.OnMouseWheel(keys, steps);
    MarkDirty(true);
}

void AnalyserView::OnMouseDblClick(int32_t, int32_t, const MouseKeys& keys)
{
    gestures.OnMouseDblClick(keys);
    MarkDirty(true);
}

void AnalyserView::OnMouseOver(int32_t x, int32_t y, const MouseKeys&)
{
    mouseX = x;
    mouseY = y;
    MarkDirty(true);
}

void AnalyserView::OnMouseOut()
{
    mouseX = 0;
    mouseY = 0;
    MarkDirty(true);
}

void AnalyserView::SetViewState(int32_t newDomain, double newVScale, bool pause, int32_t newFftZoom,
                                CriticalSection* callerLock)
{
    ScopedLock hold(callerLock);
    request.SetViewState(newDomain, newVScale, pause, newFftZoom);
    SetDirty();
}

void AnalyserView::SetSampleRate(double rate, CriticalSection* callerLock)
{
    ScopedLock hold(callerLock);
    request.SetSampleRate(rate);
}

void AnalyserView::SetViewColours(const Colour& background, const Colour& fill, const Colour& edge,
                                  const Colour& caption)
{
    request.SetColours(background, fill, edge, caption);
    SetDirty();
}

void AnalyserView::GetViewColours(Colour& background, Colour& fill, Colour& edge, Colour& caption)
{
    request.GetColours(background, fill, edge, caption);
}

Colour AnalyserView::MixIntensityColour(const Colour& background, const Colour& target, double intensity)
{
    return IntensityPalette::MixIntensity(background, target, intensity);
}

void AnalyserView::SizeBuffersFor(int32_t newDomain)
{
    switch (newDomain) {
    case kTime:
        timeDisplay.Reset();
        estimator.samples.Resize(kFreqFrameSize, false);
        break;
    case kFreq:
        freqDisplay.Reset();
        estimator.samples.Resize(kFreqFrameSize, false);
        break;
    case kPhase:
        phaseDisplay.Reset();
        break;
    case kSpectro:
        spectroDisplay.Reset();
        estimator.samples.Resize(kSpectroFrameSize, false);
        break;
    default:
        break;
    }
}

void AnalyserView::ComputeBandPositions()
{
    for (ZoomBand& band : freqBands) band.ComputePositions(sampleRate, kFreqFrameSize, false);
    for (ZoomBand& band : spectroBands) band.ComputePositions(sampleRate, kSpectroFrameSize, true);
}

void AnalyserView::Apply(const ViewRequest::State& r)
{
    if (r.resize) SizeBuffersFor(r.domain);
    domain = r.domain;
    vScale = r.vScale;
    paused = r.paused;
    fftZoom = r.fftZoom;
    if (r.rate && r.sampleRate != sampleRate) {
        sampleRate = r.sampleRate;
        ComputeBandPositions();
    }
    if (r.colours) {
        backgroundColour = r.background;
        fillColour = r.fill;
        edgeColour = r.edge;
        captionStyle.colour = r.caption;
        SetGraphColours(edgeColour, fillColour);
    }
    if (r.refresh) refreshAll = true;
}

bool AnalyserView::Draw(Graphics& graphics)
{
    ScopedLock hold(&lock);
    // Values the host set since the last tick become the request first (the view lock is
    // taken before the plug-in lock, the one order in which both are held).
    if (plug) plug->DeliverParameterChanges();

    // The hand-off: the latest request under the plug-in lock for no longer than a small
    // copy, and the staged samples from the audio thread's wait-free hand-over.
    ViewRequest::State latest;
    int taken = 0;
    {
        ScopedLock guard(PluginLock());
        latest = request.Take();
        if (!latest.paused && staging) taken = staging->TakeInto(ringLeft, ringRight);
    }
    Apply(latest);

    if (paused) {
        newSamples = 0;
    } else {
        newSamples += taken;
        // More than the history holds is the whole history.
        if (newSamples > kHistoryLength) newSamples = kHistoryLength;
    }
    if (refreshAll) {
        newSamples = kHistoryLength;
        refreshAll = false;
    }

    switch (domain) {
    case kTime: DrawTimeDisplay(graphics); break;
    case kFreq: DrawFreqDisplay(graphics); break;
    case kPhase: DrawPhaseDisplay(graphics); break;
    case kSpectro: DrawSpectroDisplay(graphics); break;
    default: break;
    }

    DrawCaption(graphics);
    if (mouseX > 0 && mouseY > 0) DrawReadout(graphics);
    return true;
}


void AnalyserView::DrawCaption(Graphics& graphics)
{
    graphics.DrawText(captionStyle, FormatString("%.1fx", static_cast<double>(vScale)), captionBox);
}

DisplayContext AnalyserView::Context(Graphics& graphics)
{
    return DisplayContext{graphics, ringLeft, ringRight, newSamples, samplesPerColumn, vScale,
                          backgroundColour, fillColour, edgeColour, Scales(drawRect, captionStyle, vScale)};
}

void AnalyserView::DrawTimeDisplay(Graphics& graphics)
{
    DisplayContext context = Context(graphics);
    timeDisplay.Draw(context);
}

void AnalyserView::DrawFreqDisplay(Graphics& graphics)
{
    DisplayContext context = Context(graphics);
    freqDisplay.Draw(context, estimator, CurrentBand());
}

void AnalyserView::DrawPhaseDisplay(Graphics& graphics)
{
    DisplayContext context = Context(graphics);
    phaseDisplay.Draw(context);
}

void AnalyserView::DrawSpectroDisplay(Graphics& graphics)
{
    DisplayContext context = Context(graphics);
    spectroDisplay.Draw(context, estimator, CurrentBand());
}

const ZoomBand* AnalyserView::CurrentBand() const
{
    if (domain != kFreq && domain != kSpectro) return nullptr;
    const std::vector<ZoomBand>& bands = domain == kFreq ? freqBands : spectroBands;
    return bands.size() > static_cast<size_t>(fftZoom) ? &bands[static_cast<size_t>(fftZoom)] : nullptr;
}

void AnalyserView::DrawReadout(Graphics& graphics)
{
    readout.Draw(graphics, captionStyle, mouseX, mouseY, domain, vScale, CurrentBand(), sampleRate);
}
