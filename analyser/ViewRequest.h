// What the host and the user last asked the view to show: the display state, the sample
// rate and the user colours. Written from any thread under the plug-in lock (setParameter,
// state loads, the user's gestures); the view's draw takes it over at its next frame and
// only then resizes its buffers for it, so no request ever resizes under a draw.
#pragma once

#include <cstdint>

#include "graphics/Colour.h"

class CriticalSection;

class ViewRequest {
public:
    struct State {
        int32_t domain = -1;
        float vScale = 1.0f;
        bool paused = false;
        int32_t fftZoom = 0;
        double sampleRate = 24000.0;
        Colour background, fill, edge, caption;
        bool resize = false;   // a new valid domain was chosen: its buffers must be sized
        bool refresh = false;  // rebuild the display from the whole history
        bool rate = false;     // the band positions must follow a new sample rate
        bool colours = false;
    };
    // Which user colour a chooser edits.
    using UserColour = Colour State::*;

    // The user colours a view starts with and a double click restores.
    static const Colour kDefaultBackground;
    static const Colour kDefaultFill;
    static const Colour kDefaultEdge;
    static const Colour kDefaultCaption;

    // pluginLock guards the request; null for a view without a plug-in.
    explicit ViewRequest(CriticalSection* pluginLock);

    void SetViewState(int32_t domain, double vScale, bool pause, int32_t fftZoom);
    // A rate that is no positive number is refused.
    void SetSampleRate(double rate);
    // An all-zero colour leaves that colour as it is.
    void SetColours(const Colour& background, const Colour& fill, const Colour& edge, const Colour& caption);
    void ResetColours();
    void GetColours(Colour& background, Colour& fill, Colour& edge, Colour& caption) const;
    Colour GetColour(UserColour which) const;
    // A confirmed choice replaces red, green and blue; the alpha stays (a state loaded while
    // the chooser was open keeps its own).
    void SetChosenColour(UserColour which, const Colour& chosen);

    // The state last asked for.
    State Asked() const;
    // The state last asked for, with what must follow it; the next take starts afresh.
    State Take();

private:
    CriticalSection* lock;
    State state;
};
