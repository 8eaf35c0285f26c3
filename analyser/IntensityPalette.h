// The colours of the phase and spectro pictures: an intensity mixes the background towards
// the fill colour in steps of 1/256. The common intensities are looked up, not computed,
// because every pixel of those pictures is one.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/Colour.h"
#include "plugin/SafeConvert.h"

class IntensityPalette {
public:
    static constexpr int32_t kEntries = 4096;

    // Whether every value is exactly +0, told by its bits: -0 and NaN count as values.
    static bool AllPositiveZero(const float* values, int count);

    // background moved towards target by weight/256 of the way (or past it for weights above
    // 256), each channel clipped to 0..255.
    static Colour Mix(const Colour& background, const Colour& target, int32_t weight);
    // The colour of one intensity: the background itself at 0, else a weight of
    // intensity * 255 truncated.
    static Colour MixIntensity(const Colour& background, const Colour& target, double intensity)
    {
        if (intensity == 0.0) return background;
        return Mix(background, target, TruncateToInt32(intensity * 255.0));
    }

    // Makes the table for these colours unless it is already made for them.
    void Prepare(const Colour& background, const Colour& target);

    // PackColour(MixIntensity(background, target, intensity)) for the prepared colours.
    uint32_t Packed(double intensity) const
    {
        if (zeroDiffers && intensity == 0.0) return packedBackground;
        return PackedIgnoringZero(intensity);
    }

    // Usually the weight-0 entry is the background itself; then a whole-picture loop can
    // use PackedIgnoringZero and skip the test for empty pixels, which it could not predict.
    bool ZeroIsBackground() const { return !zeroDiffers; }
    uint32_t PackedIgnoringZero(double intensity) const
    {
        const double scaled = intensity * 255.0;
        // In the table's range the plain cast truncates as TruncateToInt32 does; NaN fails both tests.
        if (scaled >= 0.0 && scaled < static_cast<double>(kEntries)) return entries[static_cast<int32_t>(scaled)];
        return PackColour(Mix(background, target, TruncateToInt32(scaled)));
    }

    // Packed(values[i]) into to[i * stride] for count values; answers whether every value
    // was +0 (by its bits: -0 and NaN are not).
    bool PackRun(const float* values, int count, uint32_t* to, intptr_t stride) const;

private:
    bool prepared = false;
    bool zeroDiffers = false;
    Colour background, target;
    uint32_t packedBackground = 0;
    uint32_t entries[kEntries] = {};
};
