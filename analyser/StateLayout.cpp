#include "analyser/StateLayout.h"

#include <cmath>
#include <cstring>

namespace {

int32_t Int32At(const uint8_t* p)
{
    return static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

// A tail of ours fills the chunk from `at` to its end exactly.
bool TailAt(const uint8_t* data, int size, int64_t at, StateLayout& layout)
{
    if (at < 0 || size - at < StateLayout::kTailHeaderBytes) return false;
    const uint8_t* p = data + at;
    if (std::memcmp(p, "QGEX", 4) != 0) return false;
    const int32_t version = Int32At(p + 4);
    const int32_t n = Int32At(p + 8);
    if (version < 1 || n < 0 || n != size - at - StateLayout::kTailHeaderBytes) return false;
    layout.tailAt = static_cast<int>(at);
    layout.tailVersion = version;
    layout.tailBytes = n;
    return true;
}

StateLayout Plain(const uint8_t* data, int size)
{
    StateLayout layout;
    layout.kind = StateLayout::kPlain;
    TailAt(data, size, StateLayout::kValueBytes, layout);
    return layout;
}

StateLayout Windowed(const uint8_t* data, int size, int64_t valuesAt)
{
    StateLayout layout;
    layout.kind = StateLayout::kWindowed;
    layout.valuesAt = static_cast<int>(valuesAt);
    TailAt(data, size, valuesAt + StateLayout::kValueBytes, layout);
    return layout;
}

}  // namespace

StateLayout StateLayout::Of(const uint8_t* data, int size, bool preferWindow)
{
    if (!data || size < kValueBytes) return StateLayout();

    StateLayout probe;
    const bool plainExact = size == kValueBytes || TailAt(data, size, kValueBytes, probe);

    // The window section's lengths (the second follows the first text), in 64 bits: nothing
    // in them may overflow.
    const int64_t l1 = Int32At(data);
    const int64_t l2 = l1 >= 0 && 8 + l1 <= size ? Int32At(data + 4 + l1) : -1;
    const int64_t valuesAt = kWindowFixedBytes + l1 + l2;
    const bool windowFits = l1 >= 0 && l2 >= 0 && valuesAt + kValueBytes <= size;
    const int64_t windowEnd = valuesAt + kValueBytes;
    const bool windowExact = windowFits && (windowEnd == size || TailAt(data, size, windowEnd, probe));

    // Both exactly: only a plain chunk of the domain "time" with a long tail, or a windowed one
    // with empty texts whose bytes at the plain tail's place happen to read as our tag. The tag
    // is the stronger evidence: the windowed reading has a number there.
    if (plainExact) return Plain(data, size);
    if (windowExact) return Windowed(data, size, valuesAt);

    const bool sectionFits = l1 >= 0 && l2 >= 0 && valuesAt <= size;
    if (sectionFits && (l1 > 0 || l2 > 0)) return windowFits ? Windowed(data, size, valuesAt) : StateLayout();
    if (sectionFits && preferWindow) return windowFits ? Windowed(data, size, valuesAt) : StateLayout();
    if (sectionFits) return Plain(data, size);
    // Lengths that are no window section: plain, when the chunk starts like a domain value, a
    // small whole number whose low word is zero.
    uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= uint64_t(data[i]) << (8 * i);
    double domain = 0.0;
    std::memcpy(&domain, &bits, sizeof domain);
    if (l1 == 0 && std::isnormal(domain)) return Plain(data, size);
    return StateLayout();
}
