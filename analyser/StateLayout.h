// Which layout a state chunk holds, told from its size and its length fields alone, so that
// every build and every host reads a chunk the way it was written:
//   plain:    the value section (96 bytes), as every host but one stores it;
//   windowed: the window section (int32 L1, L1 bytes of text, int32 L2, L2 bytes of text, then
//             the rectangle: 24 + L1 + L2 bytes), then the value section, as host id 1 stores it;
// either followed by nothing or by one tail of ours of any version ("QGEX", int32 version,
// int32 n, then exactly n bytes to the end).
#pragma once

#include <cstdint>

struct StateLayout {
    enum Kind { kNone, kPlain, kWindowed };

    Kind kind = kNone;
    int valuesAt = 0;      // where the value section starts
    int tailAt = -1;       // where a tail of ours starts; -1 without one
    int32_t tailVersion = 0;
    int32_t tailBytes = 0;  // the n of the tail's header

    static constexpr int kValueBytes = 96;
    static constexpr int kWindowFixedBytes = 24;  // both lengths and the rectangle
    static constexpr int kTailHeaderBytes = 12;

    // A chunk that is exactly one layout (with or without a tail) is that layout; should both
    // fit exactly, a tail's tag where the value section would end decides for plain. A chunk
    // that is neither exactly (padded or damaged) is read as the layout its length fields
    // allow: a window section with a text in it is windowed (kNone when the values do not fit
    // behind it); two empty texts, which also read as the plain domain "time", are read in
    // the layout of the host we run in (preferWindow: the one that writes window sections);
    // lengths that cannot be a window section, before a plain domain value, are plain. Else kNone.
    static StateLayout Of(const uint8_t* data, int size, bool preferWindow);
};
