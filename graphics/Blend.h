// How a drawing operation combines with what is already on the surface.
#pragma once

#include <cstdint>

enum class BlendKind : int32_t { None = 0, Copy = 1, Add = 2, Dodge = 3 };

struct Blend {
    BlendKind kind = BlendKind::None;
    float weight = 1.0f;

    Blend() = default;
    Blend(BlendKind kind, float weight) : kind(kind), weight(weight) {}
};

// Low byte: the operation; flags above it. Operations 0xF0-0xFF are channel copies (blits only).
using RasterMode = uint32_t;
constexpr RasterMode RasterCopy = 0;
constexpr RasterMode RasterAdd = 1;
constexpr RasterMode RasterDodge = 2;
constexpr RasterMode Filtered = 0x100;
constexpr RasterMode UseSourceAlpha = 0x10000;
constexpr RasterMode RasterOperationMask = 0xFF;

inline RasterMode RasterOperation(RasterMode mode) { return mode & RasterOperationMask; }

// Channel copy: byte numbers 0 blue, 1 green, 2 red, 3 alpha.
inline RasterMode ChannelCopyMode(int sourceByte, int destByte)
{
    return 0xF0u | static_cast<RasterMode>(destByte & 3) << 2 | static_cast<RasterMode>(sourceByte & 3);
}

// Unknown kinds behave like None: copy through the colour's own alpha.
inline RasterMode RasterModeFor(BlendKind kind)
{
    switch (kind) {
    case BlendKind::Copy: return RasterCopy;
    case BlendKind::Add: return RasterAdd | UseSourceAlpha;
    case BlendKind::Dodge: return RasterDodge | UseSourceAlpha;
    default: return RasterCopy | UseSourceAlpha;
    }
}

inline RasterMode RasterModeFor(const Blend& blend) { return RasterModeFor(blend.kind); }
