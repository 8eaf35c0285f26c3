// Shared helpers of the graphics tests: filled surfaces, a flipped surface, picture checks
// against stored PNGs, and a PNG encoder for every colour type and depth.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/MemorySurface.h"

// A memory surface filled with one pixel value.
class FilledSurface : public MemorySurface {
public:
    FilledSurface(int32_t width, int32_t height, uint32_t pixel);
};

// Stores rows bottom row first, as a bottom-up bitmap would.
class FlippedSurface : public FilledSurface {
public:
    FlippedSurface(int32_t width, int32_t height, uint32_t pixel) : FilledSurface(width, height, pixel)
    {
        flipped = true;
    }
};

uint32_t Pixel(const Surface& s, int32_t x, int32_t y);  // logical row y, honouring the flip
uint32_t RawPixel(const Surface& s, int32_t x, int32_t y);  // stored row y
int CountPixelsNot(const Surface& s, uint32_t value);

// Writes the surface to <build>/actual/<name>.png and compares it pixel for pixel with
// tests/graphics/expected/<name>.png.
void ExpectPicture(const Surface& s, const std::string& name);

// A PNG image in memory. samples holds one value per channel per pixel, row by row, at the
// given bit depth (palette images hold indices).
struct PngLayout {
    uint32_t width = 0, height = 0;
    int colourType = 0;     // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint32_t> samples;
    std::vector<uint8_t> palette;        // r, g, b triples
    std::vector<uint8_t> paletteAlpha;   // tRNS for palette images
    bool hasTransparentColour = false;   // tRNS for grey and RGB images
    uint16_t transparentGrey = 0, transparentR = 0, transparentG = 0, transparentB = 0;
};
std::vector<uint8_t> EncodePng(const PngLayout& layout);
