#include "graphics/ColourChooser.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "graphics/Fill.h"

namespace {

// Layout at 1x. Sliders are rows of 20 pixels under the title; each track is 128 pixels, so
// a pixel is two steps of the value and the keyboard reaches every value in between.
constexpr int32_t SliderTop = 28;
constexpr int32_t SliderPitch = 20;
constexpr int32_t SliderHeight = 18;
constexpr int32_t TrackLeft = 22;
constexpr int32_t TrackWidth = 128;
constexpr int32_t TrackHitMargin = 4;  // the ends are easy to hit
constexpr int32_t PresetTop = 94;
constexpr int32_t PresetLeft = 8;
constexpr int32_t PresetWidth = 18;
constexpr int32_t PresetHeight = 16;
constexpr int32_t PresetPitch = 22;
const Rect PreviewFrame(188, SliderTop, 225, SliderTop + 3 * SliderPitch - 2);

const Colour Panel(255, 38, 40, 44);
const Colour PanelEdge(255, 86, 90, 98);
const Colour Divider(255, 62, 66, 72);
const Colour Ink(255, 228, 230, 234);
const Colour DimInk(255, 150, 154, 162);
const Colour Accent(255, 64, 150, 255);
const Colour Shadow(255, 16, 16, 18);
const Colour ButtonFace(255, 62, 66, 74);
const Colour ButtonDown(255, 30, 32, 36);

const Colour Presets[ColourChooser::PresetCount] = {
    Colour(255, 0, 0, 0),       Colour(255, 128, 128, 128), Colour(255, 255, 255, 255), Colour(255, 255, 64, 64),
    Colour(255, 255, 160, 0),   Colour(255, 220, 220, 100), Colour(255, 64, 192, 96),   Colour(255, 0, 200, 200),
    Colour(255, 0, 128, 255),   Colour(255, 160, 96, 255)};

bool Inside(const Rect& r, int32_t x, int32_t y)
{
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

Rect Grown(const Rect& r, int32_t by)
{
    return Rect(r.left - by, r.top - by, r.right + by, r.bottom + by);
}

void Fill(Surface& s, const Colour& c, const Rect& r)
{
    FillRect(s, PackColour(Colour(255, c.r, c.g, c.b)), r, RasterCopy, 1.0f);
}

// A frame `thickness` pixels wide just inside r.
void Frame(Surface& s, const Colour& c, const Rect& r, int32_t thickness)
{
    Fill(s, c, Rect(r.left, r.top, r.right, r.top + thickness));
    Fill(s, c, Rect(r.left, r.bottom - thickness, r.right, r.bottom));
    Fill(s, c, Rect(r.left, r.top + thickness, r.left + thickness, r.bottom - thickness));
    Fill(s, c, Rect(r.right - thickness, r.top + thickness, r.right, r.bottom - thickness));
}

int32_t Clamp255(int32_t v)
{
    return std::min(255, std::max(0, v));
}

int32_t ThumbX(int32_t value)
{
    return TrackLeft + (value * 2 * (TrackWidth - 1) + 255) / 510;
}

TextStyle Label(const Colour& colour, int32_t align)
{
    return TextStyle("Arial", 12, colour, TextNormal, align, 0);
}

}  // namespace

ColourChooser::ColourChooser(const Colour& start, std::string title)
    : original(start), edited(start), title(std::move(title))
{
    edited.r = Clamp255(edited.r);
    edited.g = Clamp255(edited.g);
    edited.b = Clamp255(edited.b);
}

Colour ColourChooser::Preset(int32_t index)
{
    return Presets[std::min(PresetCount - 1, std::max(0, index))];
}

Rect ColourChooser::TrackRect(int32_t slider)
{
    const int32_t top = SliderTop + SliderPitch * slider;
    return Rect(TrackLeft, top + 4, TrackLeft + TrackWidth, top + 14);
}

Rect ColourChooser::PresetRect(int32_t index)
{
    const int32_t left = PresetLeft + PresetPitch * index;
    return Rect(left, PresetTop, left + PresetWidth, PresetTop + PresetHeight);
}

Rect ColourChooser::OldSwatchRect()
{
    const int32_t middle = (PreviewFrame.top + PreviewFrame.bottom) / 2;
    return Rect(PreviewFrame.left + 1, middle + 1, PreviewFrame.right - 1, PreviewFrame.bottom - 1);
}

Rect ColourChooser::OkRect() { return Rect(105, 120, 161, 142); }
Rect ColourChooser::CancelRect() { return Rect(169, 120, 225, 142); }

int32_t ColourChooser::ValueAt(int32_t x)
{
    const int32_t pixel = std::min(TrackWidth - 1, std::max(0, x - TrackLeft));
    return (pixel * 510 + TrackWidth - 1) / (2 * (TrackWidth - 1));
}

int32_t& ColourChooser::Channel(Focus slider)
{
    return slider == Focus::Red ? edited.r : slider == Focus::Green ? edited.g : edited.b;
}

void ColourChooser::SetChannel(Focus slider, int32_t value)
{
    int32_t& channel = Channel(slider);
    value = Clamp255(value);
    if (channel == value) return;
    channel = value;
    dirty = true;
}

void ColourChooser::SetFocus(Focus to)
{
    typing = false;
    if (focus == to) return;
    focus = to;
    dirty = true;
    if (to != Focus::Presets) return;
    // Entering the row, the cursor starts on the swatch that is the colour being edited.
    for (int32_t i = 0; i < PresetCount; ++i)
        if (Presets[i].r == edited.r && Presets[i].g == edited.g && Presets[i].b == edited.b) presetCursor = i;
}

void ColourChooser::TakeColour(const Colour& colour)
{
    SetChannel(Focus::Red, colour.r);
    SetChannel(Focus::Green, colour.g);
    SetChannel(Focus::Blue, colour.b);
}

void ColourChooser::Finish(bool ok)
{
    finished = true;
    confirmed = ok;
    dragging = -1;
    pressed = Button::None;
    dirty = true;
}

ColourChooser::Button ColourChooser::ButtonAt(int32_t x, int32_t y) const
{
    if (Inside(OkRect(), x, y)) return Button::Ok;
    if (Inside(CancelRect(), x, y)) return Button::Cancel;
    return Button::None;
}

void ColourChooser::MouseDown(int32_t x, int32_t y)
{
    if (finished) return;
    typing = false;
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t top = SliderTop + SliderPitch * i;
        if (y >= top && y < top + SliderHeight && x >= TrackLeft - TrackHitMargin &&
            x < TrackLeft + TrackWidth + TrackHitMargin) {
            const Focus slider = static_cast<Focus>(i);
            SetFocus(slider);
            SetChannel(slider, ValueAt(x));
            dragging = i;
            return;
        }
    }
    for (int32_t i = 0; i < PresetCount; ++i)
        if (Inside(Grown(PresetRect(i), 1), x, y)) {
            SetFocus(Focus::Presets);
            if (presetCursor != i) dirty = true;
            presetCursor = i;
            TakeColour(Presets[i]);
            return;
        }
    if (Inside(OldSwatchRect(), x, y)) {
        TakeColour(original);
        return;
    }
    pressed = ButtonAt(x, y);
    pressedInside = pressed != Button::None;
    if (pressedInside) dirty = true;
}

void ColourChooser::MouseDrag(int32_t x, int32_t y)
{
    if (finished) return;
    if (dragging >= 0) SetChannel(static_cast<Focus>(dragging), ValueAt(x));
    if (pressed != Button::None) {
        const bool inside = ButtonAt(x, y) == pressed;
        if (inside != pressedInside) dirty = true;
        pressedInside = inside;
    }
}

void ColourChooser::MouseUp(int32_t x, int32_t y)
{
    if (finished) return;
    MouseDrag(x, y);
    dragging = -1;
    if (pressed == Button::None) return;
    const Button released = pressed;
    pressed = Button::None;
    dirty = true;
    if (pressedInside) Finish(released == Button::Ok);
}

void ColourChooser::Press(Key key)
{
    if (finished) return;
    if (key != Key::Backspace) typing = false;
    const int32_t order = static_cast<int32_t>(focus);
    switch (key) {
    case Key::Enter: Finish(true); return;
    case Key::Escape: Finish(false); return;
    case Key::Up: SetFocus(static_cast<Focus>(std::max(0, order - 1))); return;
    case Key::Down: SetFocus(static_cast<Focus>(std::min(3, order + 1))); return;
    case Key::Tab: SetFocus(static_cast<Focus>((order + 1) % 4)); return;
    case Key::ShiftTab: SetFocus(static_cast<Focus>((order + 3) % 4)); return;
    default: break;
    }
    if (focus == Focus::Presets) {
        int32_t to = presetCursor;
        if (key == Key::Left) to = std::max(0, to - 1);
        else if (key == Key::Right) to = std::min(PresetCount - 1, to + 1);
        else if (key == Key::Home) to = 0;
        else if (key == Key::End) to = PresetCount - 1;
        else return;
        if (to != presetCursor) dirty = true;
        presetCursor = to;
        TakeColour(Presets[to]);
        return;
    }
    const int32_t value = Channel(focus);
    switch (key) {
    case Key::Left: SetChannel(focus, value - 1); break;
    case Key::Right: SetChannel(focus, value + 1); break;
    case Key::PageDown: SetChannel(focus, value - 16); break;
    case Key::PageUp: SetChannel(focus, value + 16); break;
    case Key::Home: SetChannel(focus, 0); break;
    case Key::End: SetChannel(focus, 255); break;
    case Key::Backspace:
        SetChannel(focus, value / 10);
        typing = true;
        break;
    default: break;
    }
}

void ColourChooser::Type(char c)
{
    if (finished || focus == Focus::Presets || c < '0' || c > '9') return;
    const int32_t digit = c - '0';
    int32_t value = typing ? Channel(focus) * 10 + digit : digit;
    // A fourth digit starts a new number rather than being refused.
    if (value > 255) value = digit;
    SetChannel(focus, value);
    typing = true;
}

void ColourChooser::DrawSlider(SystemSurface& s, int32_t slider)
{
    const Focus which = static_cast<Focus>(slider);
    const bool focused = focus == which;
    const int32_t top = SliderTop + SliderPitch * slider;
    const int32_t value = Channel(which);
    if (focused) Frame(s, Accent, Rect(7, top - 1, 184, top + SliderHeight + 1), 1);
    static const char* const Names[3] = {"R", "G", "B"};
    labelText.DrawText(s, Label(focused ? Accent : Ink, AlignCentre), Names[slider], Rect(8, top + 3, 20, top + 15));

    // The track shows the colours this slider reaches with the other two as they are.
    const Rect track = TrackRect(slider);
    Frame(s, Shadow, Grown(track, 1), 1);
    Colour step = edited;
    for (int32_t x = 0; x < TrackWidth; ++x) {
        (slider == 0 ? step.r : slider == 1 ? step.g : step.b) = ValueAt(track.left + x);
        Fill(s, step, Rect(track.left + x, track.top, track.left + x + 1, track.bottom));
    }
    const int32_t thumb = ThumbX(value);
    Fill(s, Shadow, Rect(thumb - 2, top + 1, thumb + 3, top + SliderHeight - 1));
    Fill(s, Ink, Rect(thumb - 1, top + 2, thumb + 2, top + SliderHeight - 2));

    labelText.DrawText(s, Label(focused ? Accent : Ink, AlignRight), std::to_string(value),
                       Rect(150, top + 3, 180, top + 15));
}

void ColourChooser::DrawButton(SystemSurface& s, const Rect& r, const char* label, bool isDefault, bool sunken)
{
    Fill(s, sunken ? ButtonDown : ButtonFace, r);
    Frame(s, isDefault ? Accent : PanelEdge, r, 1);
    const int32_t shift = sunken ? 1 : 0;
    const int32_t top = r.top + (static_cast<int32_t>(r.Height()) - 12) / 2 + shift;
    labelText.DrawText(s, Label(Ink, AlignCentre), label, Rect(r.left + shift, top, r.right + shift, top + 12));
}

void ColourChooser::Draw(SystemSurface& s)
{
    dirty = false;
    const Rect all(0, 0, Width, Height);
    Fill(s, Panel, all);
    Frame(s, PanelEdge, all, 1);

    titleText.DrawText(s, TextStyle("Arial", 14, Ink, TextBold, AlignLeft, 0), title, Rect(8, 5, Width - 8, 19));
    Fill(s, Divider, Rect(7, 22, Width - 7, 23));

    for (int32_t i = 0; i < 3; ++i) DrawSlider(s, i);

    // New colour above the old one; a click on the old one goes back to it.
    Frame(s, PanelEdge, PreviewFrame, 1);
    const Rect old = OldSwatchRect();
    Fill(s, edited, Rect(old.left, PreviewFrame.top + 1, old.right, old.top - 1));
    Fill(s, PanelEdge, Rect(old.left, old.top - 1, old.right, old.top));
    Fill(s, original, old);

    for (int32_t i = 0; i < PresetCount; ++i) {
        const Rect r = PresetRect(i);
        const bool cursor = focus == Focus::Presets && i == presetCursor;
        Frame(s, cursor ? Accent : PanelEdge, Grown(r, cursor ? 2 : 1), cursor ? 2 : 1);
        Fill(s, Presets[i], r);
    }

    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02X%02X%02X", static_cast<unsigned>(edited.r), static_cast<unsigned>(edited.g),
                  static_cast<unsigned>(edited.b));
    const Rect ok = OkRect();
    labelText.DrawText(s, Label(DimInk, AlignLeft), hex, Rect(8, ok.top + 5, 100, ok.top + 17));
    DrawButton(s, ok, "OK", true, pressed == Button::Ok && pressedInside);
    DrawButton(s, CancelRect(), "Cancel", false, pressed == Button::Cancel && pressedInside);
}

const Surface& ColourChooser::Picture()
{
    if (dirty) Draw(picture);
    return picture;
}

void ColourChooser::Present(const PixelRows& dest, int32_t scale)
{
    ScaleBlit(dest, RowsOf(Picture()), Rect(0, 0, Width, Height), scale);
}
