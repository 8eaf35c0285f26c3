#include "tests/graphics/ControlTestSupport.h"

#include <png.h>

#include "plugin/VstHost.h"
#include "tests/graphics/GraphicsTestSupport.h"

RecordingPlug::RecordingPlug(int count)
    : PluginCore(VstHost::Shared(), count, 2, 2, "Probe", "", "Veksa", 1000, 0x70726F62, 0, false, false, true)
{
    for (int i = 0; i < count; ++i) ParamAt(i).InitDouble("p", 0.0, 0.0, 1.0, 0.01, "");
}

ProbeControl::ProbeControl(PluginCore* plug, const Rect& rect, uint32_t colour, int32_t paramIdx)
    : Control(plug, rect, paramIdx, Blend(BlendKind::Copy, 1.0f)), colour(colour)
{
}

ProbeControl::~ProbeControl()
{
    if (deletions) ++*deletions;
}

bool ProbeControl::Draw(Graphics& graphics)
{
    drawAreas.push_back(static_cast<GraphicsRaster&>(graphics).PaintArea());
    graphics.FillRect(UnpackColour(colour), drawRect, blend);
    if (duringDraw) duringDraw();
    return true;
}

void ProbeControl::OnMouseDown(int32_t x, int32_t y, const MouseKeys& keys)
{
    events.push_back("down " + std::to_string(x) + " " + std::to_string(y));
    Control::OnMouseDown(x, y, keys);
}

void ProbeControl::OnMouseUp(int32_t x, int32_t y)
{
    events.push_back("up " + std::to_string(x) + " " + std::to_string(y));
}

void ProbeControl::OnMouseDrag(int32_t x, int32_t y, int32_t dx, int32_t dy, const MouseKeys&)
{
    events.push_back("drag " + std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(dx) + " " +
                     std::to_string(dy));
}

void ProbeControl::OnMouseDblClick(int32_t x, int32_t y, const MouseKeys& keys)
{
    events.push_back("dbl " + std::to_string(x) + " " + std::to_string(y));
    Control::OnMouseDblClick(x, y, keys);
}

void ProbeControl::OnMouseWheel(int32_t x, int32_t y, const MouseKeys& keys, int32_t steps)
{
    events.push_back("wheel " + std::to_string(steps));
    Control::OnMouseWheel(x, y, keys, steps);
}

void ProbeControl::OnMouseOver(int32_t x, int32_t y, const MouseKeys&)
{
    events.push_back("over " + std::to_string(x) + " " + std::to_string(y));
}

void ProbeControl::OnMouseOut()
{
    events.push_back("out");
}

std::unique_ptr<GraphicsRaster> MakeGraphics(PluginCore* plug, int32_t width, int32_t height, double fps)
{
    return std::unique_ptr<GraphicsRaster>(static_cast<GraphicsRaster*>(CreateGraphics(plug, width, height, fps)));
}

std::vector<uint8_t> RowsPng(int32_t width, const std::vector<uint32_t>& rowColours)
{
    PngLayout layout;
    layout.width = static_cast<uint32_t>(width);
    layout.height = static_cast<uint32_t>(rowColours.size());
    layout.colourType = PNG_COLOR_TYPE_RGB;
    for (uint32_t c : rowColours)
        for (int32_t x = 0; x < width; ++x) {
            layout.samples.push_back(c >> 16 & 255);
            layout.samples.push_back(c >> 8 & 255);
            layout.samples.push_back(c & 255);
        }
    return EncodePng(layout);
}

MouseKeys Keys(bool left, bool right, bool ctrl)
{
    MouseKeys keys;
    keys.left = left;
    keys.right = right;
    keys.ctrl = ctrl;
    return keys;
}
