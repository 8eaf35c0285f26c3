// A control that shows one frame of a cached image, chosen by its value.
#pragma once

#include "graphics/BitmapInfo.h"
#include "graphics/Control.h"

class BitmapControl : public Control {
public:
    // The control is one frame high: (x, y, x + width, y + height / frames).
    BitmapControl(PluginCore* plug, int32_t x, int32_t y, int32_t paramIdx, const BitmapInfo& bitmap,
                  BlendKind blendKind);

    bool Draw(Graphics& graphics) override;

    // 1-based frame shown for the current value, within 1..frames.
    int32_t Frame() const;
    // First image row of that frame.
    int32_t FrameTop() const;
    const BitmapInfo& Bitmap() const { return bitmap; }

private:
    BitmapInfo bitmap;
};
