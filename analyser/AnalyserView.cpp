#include "analyser/AnalyserView.h"

#include "analyser/IntensityPalette.h"
#include "analyser/SampleStaging.h"
#include "graphics/Graphics.h"
#include "plugin/FormatString.h"

AnalyserView::AnalyserView(PluginCore* plug, SampleStaging* staging, Graphics* editor)
    : BandGraphControl(plug, Rect(0, 0, kEditorWidth, kEditorHeight), ViewRequest::kDefaultEdge, true,
                       Blend(BlendKind::Copy, 1.0f), true),
      domain(-1),
      paused(false),
      refreshAll(true),
      vScale(1.0f),
      sampleRate(24000.0),
      samplesPerColumn(static_cast<double>(kHistoryLength) / (drawRect.right - drawRect.left)),
      mouseX(0),
      mouseY(0),
      captionStyle("Arial", 12, ViewRequest::kDefaultCaption, TextNormal, AlignCentre, 0),
      staging(staging),
      backgroundColour(ViewRequest::kDefaultBackground),
      fillColour(ViewRequest::kDefaultFill),
      edgeColour(ViewRequest::kDefaultEdge),
      bands(sampleRate),
      fftZoom(0),
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
    SetHidden(false);
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

void AnalyserView::Apply(const ViewRequest::State& r)
{
    if (r.resize) SizeBuffersFor(r.domain);
    domain = r.domain;
    vScale = r.vScale;
    paused = r.paused;
    fftZoom = r.fftZoom;
    if (r.rate && r.sampleRate != sampleRate) {
        sampleRate = r.sampleRate;
        bands.ComputePositions(sampleRate);
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

void AnalyserView::DrawTimeDisplay(Graphics& graphics) { timeDisplay.Draw(Context(graphics)); }

void AnalyserView::DrawFreqDisplay(Graphics& graphics)
{
    freqDisplay.Draw(Context(graphics), estimator, CurrentBand());
}

void AnalyserView::DrawPhaseDisplay(Graphics& graphics) { phaseDisplay.Draw(Context(graphics)); }

void AnalyserView::DrawSpectroDisplay(Graphics& graphics)
{
    spectroDisplay.Draw(Context(graphics), estimator, CurrentBand());
}

const ZoomBand* AnalyserView::CurrentBand() const
{
    return domain == kFreq ? bands.Freq(fftZoom) : domain == kSpectro ? bands.Spectro(fftZoom) : nullptr;
}

void AnalyserView::DrawReadout(Graphics& graphics)
{
    readout.Draw(graphics, captionStyle, mouseX, mouseY, domain, vScale, CurrentBand(), sampleRate);
}
