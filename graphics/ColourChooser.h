// A colour chooser of our own: red, green and blue sliders, the new colour beside the old,
// a row of preset swatches, OK and Cancel. It knows nothing of windows: a window hands it
// mouse positions in the chooser's own pixels (its 1x picture) and keys of the small set
// below, shows its picture enlarged to the editor's scale, and closes once it is finished.
// Used where the system has no chooser of its own that a plug-in may load (X11).
#pragma once

#include <cstdint>
#include <string>

#include "graphics/Colour.h"
#include "graphics/Rect.h"
#include "graphics/ScaleBlit.h"
#include "graphics/SystemSurface.h"
#include "graphics/TextPainter.h"

class ColourChooser {
public:
    static constexpr int32_t Width = 232;
    static constexpr int32_t Height = 150;
    static constexpr int32_t PresetCount = 10;

    enum class Key { Left, Right, Up, Down, Tab, ShiftTab, Enter, Escape, PageUp, PageDown, Home, End, Backspace };
    // What has the keyboard: one of the sliders or the preset row.
    enum class Focus { Red, Green, Blue, Presets };

    // Starts on `start`; its alpha is kept as it is in every result.
    ColourChooser(const Colour& start, std::string title);
    ColourChooser(const ColourChooser&) = delete;
    ColourChooser& operator=(const ColourChooser&) = delete;

    // A press on a slider sets it from the pointer and drags it until the release; on a
    // preset swatch it takes that colour, on the old colour it goes back to it. OK and
    // Cancel act on a release over the button that was pressed.
    void MouseDown(int32_t x, int32_t y);
    void MouseDrag(int32_t x, int32_t y);
    void MouseUp(int32_t x, int32_t y);
    // Left and Right step the focused slider by 1, PageUp and PageDown by 16, Home and End go
    // to 0 and 255; on the preset row they walk the swatches. Up, Down, Tab and ShiftTab move
    // the focus, Enter confirms, Escape cancels.
    void Press(Key key);
    // Digits typed on a slider enter its value in decimal; Backspace takes the last one back.
    // Other characters are ignored.
    void Type(char c);

    bool Finished() const { return finished; }
    bool Confirmed() const { return confirmed; }
    // The confirmed colour, or the start colour until (and unless) the user confirms.
    Colour Result() const { return confirmed ? edited : original; }
    // The colour as it stands in the sliders.
    const Colour& Editing() const { return edited; }
    const std::string& Title() const { return title; }
    Focus Focused() const { return focus; }
    static Colour Preset(int32_t index);

    // True while the picture does not show the current state; drawing clears it.
    bool Dirty() const { return dirty; }
    // Draws the whole chooser at 1x into the top left Width x Height of `surface`.
    void Draw(SystemSurface& surface);
    // The 1x picture, redrawn first when dirty.
    const Surface& Picture();
    // The picture enlarged to `scale` (1 to kMaxBlitScale) into a window's pixels.
    void Present(const PixelRows& dest, int32_t scale);

    // Where things are, for windows and tests: the track of slider 0..2, preset swatch i,
    // the old colour's swatch and the two buttons.
    static Rect TrackRect(int32_t slider);
    static Rect PresetRect(int32_t index);
    static Rect OldSwatchRect();
    static Rect OkRect();
    static Rect CancelRect();
    // The slider value a pointer at x gives, clamped to 0..255.
    static int32_t ValueAt(int32_t x);

private:
    enum class Button { None, Ok, Cancel };

    int32_t& Channel(Focus slider);
    void SetChannel(Focus slider, int32_t value);
    void SetFocus(Focus to);
    void TakeColour(const Colour& colour);
    void Finish(bool ok);
    Button ButtonAt(int32_t x, int32_t y) const;
    void DrawSlider(SystemSurface& s, int32_t slider);
    void DrawButton(SystemSurface& s, const Rect& r, const char* label, bool isDefault, bool sunken);

    Colour original;
    Colour edited;
    std::string title;
    Focus focus = Focus::Red;
    int32_t presetCursor = 0;
    int32_t dragging = -1;        // the slider being dragged, or -1
    Button pressed = Button::None;
    bool pressedInside = false;   // the pointer is still over the pressed button
    bool typing = false;          // digits go on after the ones typed before
    bool finished = false;
    bool confirmed = false;
    bool dirty = true;
    SystemSurface picture{Width, Height};
    TextPainter titleText;
    TextPainter labelText;
};
