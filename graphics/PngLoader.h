// Decoding PNG images into surfaces of 0xAARRGGBB pixels.
#pragma once

#include <cstddef>
#include <cstdint>

#include "graphics/Surface.h"

// Decodes PNG bytes into dest, resized to the image size, or into a new MemorySurface when
// dest is null. Every colour type and depth ends as 8-bit alpha, red, green, blue (missing
// alpha is 255, tRNS becomes alpha, 16-bit samples are stripped to their high byte).
// Returns the surface, or null for missing, truncated, corrupt or oversized data.
Surface* DecodePng(const void* data, size_t size, Surface* dest);

// Decodes the resource `id` of type "PNG" in module (an HMODULE in the DLL) the same way.
// The native build has no resources and reports every id as missing.
Surface* LoadPngResource(void* module, int32_t id, Surface* dest);

// The largest image accepted, per side and in total pixels.
constexpr uint32_t MaxPngSide = 16384;
constexpr uint32_t MaxPngPixels = 1u << 24;
