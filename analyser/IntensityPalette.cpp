#include "analyser/IntensityPalette.h"

namespace {

int32_t ClampChannel(int64_t v) { return v < 0 ? 0 : v > 255 ? 255 : static_cast<int32_t>(v); }

}  // namespace

Colour IntensityPalette::Mix(const Colour& background, const Colour& target, int32_t weight)
{
    // Intensities above 1 push past the target until the channels clip; wide arithmetic
    // keeps a huge weight from overflowing.
    const int64_t a = weight;
    Colour result = background;
    result.r = ClampChannel(background.r + (static_cast<int64_t>(target.r) - background.r) * a / 256);
    result.g = ClampChannel(background.g + (static_cast<int64_t>(target.g) - background.g) * a / 256);
    result.b = ClampChannel(background.b + (static_cast<int64_t>(target.b) - background.b) * a / 256);
    return result;
}

void IntensityPalette::Prepare(const Colour& newBackground, const Colour& newTarget)
{
    if (prepared && newBackground == background && newTarget == target) return;
    background = newBackground;
    target = newTarget;
    packedBackground = PackColour(background);
    for (int32_t weight = 0; weight < kEntries; ++weight) entries[weight] = PackColour(Mix(background, target, weight));
    zeroDiffers = entries[0] != packedBackground;
    prepared = true;
}
