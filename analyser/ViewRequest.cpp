#include "analyser/ViewRequest.h"

#include <cmath>

#include "analyser/AnalyserLayout.h"
#include "plugin/CriticalSection.h"
#include "plugin/SafeConvert.h"

namespace {

bool AllZero(const Colour& c) { return c.a == 0 && c.r == 0 && c.g == 0 && c.b == 0; }

}  // namespace

const Colour ViewRequest::kDefaultBackground(255, 0, 0, 0);
const Colour ViewRequest::kDefaultFill(255, 220, 220, 100);
const Colour ViewRequest::kDefaultEdge(255, 255, 255, 255);
const Colour ViewRequest::kDefaultCaption(255, 0, 128, 255);

ViewRequest::ViewRequest(CriticalSection* pluginLock) : lock(pluginLock)
{
    state.background = kDefaultBackground;
    state.fill = kDefaultFill;
    state.edge = kDefaultEdge;
    state.caption = kDefaultCaption;
}

void ViewRequest::SetViewState(int32_t domain, double vScale, bool pause, int32_t fftZoom)
{
    constexpr int32_t bands = AnalyserLayout::kBandCount;
    ScopedLock guard(lock);
    if (pause == state.paused) state.refresh = true;
    if (domain != state.domain && domain >= AnalyserLayout::kTime && domain <= AnalyserLayout::kSpectro)
        state.resize = true;
    // Host values below 0..1 reach here unclamped: the zoom indexes the band tables.
    state.fftZoom = fftZoom < 0 ? 0 : fftZoom >= bands ? bands - 1 : fftZoom;
    state.domain = domain;
    state.vScale = ClampToFloat(vScale);
    state.paused = pause;
}

void ViewRequest::SetSampleRate(double rate)
{
    ScopedLock guard(lock);
    // A rate that is no positive number would turn every band position into nonsense.
    if (!std::isfinite(rate) || rate <= 0.0) return;
    state.sampleRate = rate;
    state.rate = true;
}

void ViewRequest::SetColours(const Colour& background, const Colour& fill, const Colour& edge, const Colour& caption)
{
    ScopedLock guard(lock);
    if (!AllZero(background)) state.background = background;
    if (!AllZero(fill)) state.fill = fill;
    if (!AllZero(edge)) state.edge = edge;
    if (!AllZero(caption)) state.caption = caption;
    state.colours = true;
}

void ViewRequest::ResetColours()
{
    ScopedLock guard(lock);
    state.background = kDefaultBackground;
    state.fill = kDefaultFill;
    state.edge = kDefaultEdge;
    state.caption = kDefaultCaption;
    state.colours = true;
}

void ViewRequest::GetColours(Colour& background, Colour& fill, Colour& edge, Colour& caption) const
{
    ScopedLock guard(lock);
    background = state.background;
    fill = state.fill;
    edge = state.edge;
    caption = state.caption;
}

Colour ViewRequest::GetColour(UserColour which) const
{
    ScopedLock guard(lock);
    return state.*which;
}

void ViewRequest::SetChosenColour(UserColour which, const Colour& chosen)
{
    ScopedLock guard(lock);
    Colour& target = state.*which;
    target.r = chosen.r;
    target.g = chosen.g;
    target.b = chosen.b;
    // The band graph's colours follow in the same request.
    state.colours = true;
}

ViewRequest::State ViewRequest::Asked() const
{
    ScopedLock guard(lock);
    return state;
}

ViewRequest::State ViewRequest::Take()
{
    ScopedLock guard(lock);
    const State latest = state;
    state.resize = state.refresh = state.rate = state.colours = false;
    return latest;
}
