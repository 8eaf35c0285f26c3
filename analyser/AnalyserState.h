// The analyser's state as it lies in the host's project: in one host a window section
// first (the host window's class, the window title, the floating window's place), then the
// four parameter values and the four user colours. Stored projects rely on these bytes, so
// the layout never changes; it carries no version or length of its own. What came later
// follows it as a tagged, versioned tail, which older readers ignore:
//   "QGEX", int32 version (1), int32 n (bytes that follow), then n bytes:
//   int32 editor scale (0 automatic, 1 to 4); later fields of version 1 would follow it.
// A reader skips a tail of a version it does not know, whatever its length. The tail is
// written only when it holds something other than the defaults.
#pragma once

#include <cstdint>
#include <string>

#include "graphics/Colour.h"
#include "graphics/Rect.h"
#include "plugin/StateChunk.h"

struct AnalyserState {
    static constexpr int kValueCount = 4;
    static constexpr int kColourCount = 4;
    // Four float64 values and four colours of four int32.
    static constexpr int kValueSectionBytes = kValueCount * 8 + kColourCount * 16;
    // The window section without its two texts: two lengths and the rectangle.
    static constexpr int kWindowSectionBytes = 4 + 4 + 16;
    // What a window title (and a window class name) can hold.
    static constexpr size_t kMaxTextLength = 255;
    static constexpr uint8_t kTailTag[4] = {'Q', 'G', 'E', 'X'};
    static constexpr int32_t kTailVersion = 1;
    static constexpr int kTailHeaderBytes = 12;

    bool hasWindow = false;
    std::string hostClass;
    std::string windowTitle;
    // The floating window's client place: left, top, right - 6, bottom - 23 of its outer
    // rectangle on the screen; all zero while no window is open.
    Rect windowRect;
    double values[kValueCount] = {};
    Colour colours[kColourCount];  // background, fill, edge, caption
    int32_t editorScale = 0;        // 0 automatic, 1 to 4

    // Appends the layout; the window section only when hasWindow is set, the tail only when
    // editorScale is not automatic.
    bool Write(StateChunk& chunk) const;

    // Takes the bytes apart without reading past `size`, in the layout StateLayout finds in
    // them (preferWindow: we run in the host that writes the window section). A tail of
    // version 1 gives the editor scale; a later version's tail is skipped. Texts come back cut
    // at their first zero byte and at kMaxTextLength, colour channels clamped to 0..255;
    // values as stored (NaN included). False when no layout fits.
    static bool Read(const uint8_t* data, int size, bool preferWindow, AnalyserState& state);
};
