#include "graphics/BitmapControl.h"

#include <cmath>

#include "graphics/Graphics.h"

namespace {

// A frame count below 1 would divide by zero; such an image is one frame.
int32_t FrameCount(const BitmapInfo& bitmap)
{
    return bitmap.frames < 1 ? 1 : bitmap.frames;
}

}  // namespace

BitmapControl::BitmapControl(PluginCore* plug, int32_t x, int32_t y, int32_t paramIdx, const BitmapInfo& bitmap,
                             BlendKind blendKind)
    : Control(plug, Rect(x, y, x + bitmap.width, y + bitmap.height / FrameCount(bitmap)), paramIdx,
              Blend(blendKind, 1.0f)),
      bitmap(bitmap)
{
}

int32_t BitmapControl::Frame() const
{
    const int32_t frames = FrameCount(bitmap);
    if (frames < 2) return 1;
    const double position = (frames - 1) * value + 0.5;
    if (!(position >= 0.0)) return 1;  // negative or NaN
    if (position >= frames) return frames;
    const int32_t frame = 1 + static_cast<int32_t>(position);
    return frame > frames ? frames : frame;
}

int32_t BitmapControl::FrameTop() const
{
    const int32_t frame = Frame();
    if (frame == 1) return 0;
    return static_cast<int32_t>(static_cast<double>(bitmap.height) * (frame - 1) / FrameCount(bitmap) + 0.5);
}

bool BitmapControl::Draw(Graphics& graphics)
{
    return graphics.DrawBitmap(bitmap, drawRect, 0, FrameTop(), blend);
}
