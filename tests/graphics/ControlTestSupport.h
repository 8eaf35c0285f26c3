// Small controls, a plug-in and images shared by the control, graphics and paint tests.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/Control.h"
#include "graphics/GraphicsRaster.h"
#include "graphics/native/HeadlessWindow.h"
#include "plugin/PluginCore.h"

// A plug-in with `count` parameters 0..1 that records what reaches it from the editor.
class RecordingPlug : public PluginCore {
public:
    explicit RecordingPlug(int count = 4);
    void ParameterChanged(int index) override { changed.push_back(index); }
    std::vector<int> changed;
};

// A control that fills its rectangle with one colour and records its draws and events.
class ProbeControl : public Control {
public:
    ProbeControl(PluginCore* plug, const Rect& rect, uint32_t colour = 0xFF000000u, int32_t paramIdx = -1);
    ~ProbeControl() override;

    bool Draw(Graphics& graphics) override;
    void OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys) override;
    void OnMouseUp(int32_t x, int32_t y) override;
    void OnMouseDrag(int32_t x, int32_t y, int32_t dx, int32_t dy, const MouseKeys& keys) override;
    void OnMouseDblClick(int32_t x, int32_t y, const MouseKeys& keys) override;
    void OnMouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t steps) override;
    void OnMouseOver(int32_t x, int32_t y, const MouseKeys& keys) override;
    void OnMouseOut() override;

    // Everything that happened, oldest first: "down 3 4", "up 3 4", "drag 5 6 2 2",
    // "dbl 1 1", "wheel 2", "over 1 1", "out".
    std::vector<std::string> events;
    std::vector<Rect> drawAreas;  // the paint area at each draw
    uint32_t colour;
    std::function<void()> duringDraw;
    int* deletions = nullptr;
};

// Only the base behaviour, drawing nothing.
class PlainControl : public Control {
public:
    PlainControl(PluginCore* plug, const Rect& rect, int32_t paramIdx = -1)
        : Control(plug, rect, paramIdx, Blend()) {}
    bool Draw(Graphics&) override { return true; }
};

// The headless window a native graphics object (a pointer or unique_ptr to it) shows on.
template <typename Pointer>
HeadlessWindow& Screen(const Pointer& graphics)
{
    return *HeadlessWindow::Of(&*graphics);
}

// A native graphics object (window and raster layers) for `plug`.
std::unique_ptr<GraphicsRaster> MakeGraphics(PluginCore* plug, int32_t width = 64, int32_t height = 32,
                                             double fps = 24.0);

// PNG bytes of an opaque image whose rows are given colours (0xAARRGGBB), one colour per row.
std::vector<uint8_t> RowsPng(int32_t width, const std::vector<uint32_t>& rowColours);

MouseKeys Keys(bool left = false, bool right = false, bool ctrl = false);
