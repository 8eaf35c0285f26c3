// The editor's one control: owns the last 24000 samples of each channel, the display state
// the parameters push into it, the user colours, the zoom bands, the spectrum estimator and
// the four displays, and draws the display of the current domain with its v-scale caption
// and the cursor readout. Each display keeps its own buffers and draws from what the view
// hands it (DisplayContext); what the mouse does is ViewGestures'. Of its band graph base
// the view uses only the drawing colours, which follow the user's edge and fill colours.
//
// Two locks meet here. The plug-in lock guards what the host changes from its threads (the
// requested state: domain, v scale, pause, fft zoom, sample rate, colours); the view lock
// guards what the draw reads (the rings, the display buffers and the state they were built
// for). Setters only record a request (ViewRequest) under the plug-in lock; the draw,
// holding the view lock, copies the request under the plug-in lock together with the staged
// samples and then applies it (resizing buffers, recomputing band positions) under the view
// lock alone. So buffers are never resized under a draw, and the only order in which both
// locks are held stays view lock first.
#pragma once

#include <string>

#include "analyser/AnalyserLayout.h"
#include "analyser/BandGraphControl.h"
#include "analyser/FreqDisplay.h"
#include "analyser/PhaseDisplay.h"
#include "analyser/Readout.h"
#include "analyser/SpectroDisplay.h"
#include "analyser/TimeDisplay.h"
#include "analyser/ViewGestures.h"
#include "analyser/ViewRequest.h"
#include "analyser/ZoomBandTables.h"
#include "dsp/SampleRing.h"
#include "dsp/SpectrumEstimator.h"
#include "graphics/TextStyle.h"
#include "plugin/CriticalSection.h"

class SampleStaging;

class AnalyserView : public BandGraphControl, public AnalyserLayout {
public:
    // plug, staging and editor may be null: a view without a plug-in takes no samples and
    // changes no parameters, one without an editor opens no dialogs.
    AnalyserView(PluginCore* plug, SampleStaging* staging, Graphics* editor);
    ~AnalyserView() override = default;

    // The user's gestures, on the window thread (ViewGestures).
    void OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys) override;
    void OnMouseDrag(int32_t x, int32_t y, int32_t dx, int32_t dy, const MouseKeys& keys) override;
    void OnMouseDblClick(int32_t x, int32_t y, const MouseKeys& keys) override;
    void OnMouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t steps) override;
    void OnMouseOver(int32_t x, int32_t y, const MouseKeys& keys) override;
    void OnMouseOut() override;
    bool Draw(Graphics& graphics) override;

    // From any thread, with the plug-in lock; applied by the next draw.
    void SetViewState(int32_t domain, double vScale, bool pause, int32_t fftZoom, CriticalSection* lock);
    void SetSampleRate(double rate, CriticalSection* lock);
    // An all-zero colour leaves that colour as it is.
    void SetViewColours(const Colour& background, const Colour& fill, const Colour& edge, const Colour& caption);
    // The colours as last set (not necessarily drawn yet): background, fill, edge, caption.
    void GetViewColours(Colour& background, Colour& fill, Colour& edge, Colour& caption);

    static Colour MixIntensityColour(const Colour& background, const Colour& target, double intensity);

    // What the last draw built its picture from; read on the drawing thread or under the view lock.
    int32_t Domain() const { return domain; }
    bool Paused() const { return paused; }
    bool RefreshAll() const { return refreshAll; }
    float VScale() const { return vScale; }
    double SampleRate() const { return sampleRate; }
    int32_t FftZoom() const { return fftZoom; }
    int32_t NewSamples() const { return newSamples; }
    int32_t MouseX() const { return mouseX; }
    int32_t MouseY() const { return mouseY; }
    const SampleRing& RingLeft() const { return ringLeft; }
    const SampleRing& RingRight() const { return ringRight; }
    const SpectrumEstimator& Estimator() const { return estimator; }
    const TimeDisplay& Time() const { return timeDisplay; }
    const FreqDisplay& Freq() const { return freqDisplay; }
    const PhaseDisplay& Phase() const { return phaseDisplay; }
    const SpectroDisplay& Spectro() const { return spectroDisplay; }
    const TextStyle& CaptionStyle() const { return captionStyle; }
    const std::string& ReadoutText() const { return readout.Text(); }
    const Colour& BackgroundColour() const { return backgroundColour; }
    const ZoomBand& FreqBand(int i) const { return *bands.Freq(i); }
    const ZoomBand& SpectroBand(int i) const { return *bands.Spectro(i); }
    const Rect& CaptionBox() const { return captionBox; }
    const Rect& CornerSquare() const { return cornerSquare; }
    CriticalSection& ViewLock() { return lock; }

private:
    friend class AnalyserViewProbe;  // the tests' window on the display buffers

    CriticalSection* PluginLock() const;
    // Under the view lock: brings the drawn state up to the request.
    void Apply(const ViewRequest::State& request);
    void SizeBuffersFor(int32_t newDomain);
    void DrawCaption(Graphics& graphics);
    void DrawTimeDisplay(Graphics& graphics);
    void DrawFreqDisplay(Graphics& graphics);
    void DrawPhaseDisplay(Graphics& graphics);
    void DrawSpectroDisplay(Graphics& graphics);
    void DrawReadout(Graphics& graphics);
    // What the displays draw from.
    DisplayContext Context(Graphics& graphics);
    // The zoom band of the current display; null in time and phase.
    const ZoomBand* CurrentBand() const;

    int32_t domain;
    bool paused;
    bool refreshAll;
    float vScale;
    double sampleRate;
    double samplesPerColumn;
    int32_t mouseX;
    int32_t mouseY;
    int32_t newSamples = 0;
    SampleRing ringLeft;
    SampleRing ringRight;
    SpectrumEstimator estimator;
    TextStyle captionStyle;
    SampleStaging* staging;
    CriticalSection lock;
    Colour backgroundColour;
    Colour fillColour;
    Colour edgeColour;
    ZoomBandTables bands;
    int32_t fftZoom;

    // Fixed geometry of the view.
    Rect captionBox;
    Rect cornerSquare;

    Readout readout;
    TimeDisplay timeDisplay;
    FreqDisplay freqDisplay;
    PhaseDisplay phaseDisplay;
    SpectroDisplay spectroDisplay;
    ViewRequest request;
    ViewGestures gestures;
};
