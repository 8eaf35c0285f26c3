// What the user does with the mouse on the analyser view: clicks toggle pause and step the
// domain and the zoom band, the wheel and modified drags change the v scale, a double click
// resets, right clicks with modifiers choose the four user colours and the corner square
// opens the user guide.
//
// The gestures read the state last asked for (not the state last drawn, which lags by up to
// a frame), once what the host set since the last tick has been taken up, and change it
// without holding a lock: parameters go to the plug-in as the host's automation does (the
// host hears of every change) and come back to the view as a request; colours go into the
// request directly. Colour prompts are modal: no lock is held while one is open either.
#pragma once

#include <cstdint>

#include "analyser/ViewRequest.h"
#include "graphics/MouseKeys.h"
#include "graphics/Rect.h"

class Graphics;
class PluginCore;

class ViewGestures {
public:
    // plug takes the parameter changes and editor shows the dialogs; either may be null.
    ViewGestures(PluginCore* plug, Graphics* editor, ViewRequest& request, const Rect& captionBox,
                 const Rect& cornerSquare);

    void OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys);
    // True when the drag changed the scale (only shift and ctrl drags with the left button do).
    bool OnMouseDrag(int32_t dy, const MouseKeys& keys);
    void OnMouseDblClick(const MouseKeys& keys);
    void OnMouseWheel(const MouseKeys& keys, int32_t steps);

private:
    // A plain value for parameter `index`, clamped and normalized, set as the user's change.
    void SetParameter(int index, double plain);
    ViewRequest::State AskedState();
    // The colour chooser on one user colour.
    void PromptForUserColour(ViewRequest::UserColour colour, const char* title);
    void OpenUserGuide();

    PluginCore* plug;
    Graphics* editor;
    ViewRequest& request;
    Rect captionBox;
    Rect cornerSquare;
};
