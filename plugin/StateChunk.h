// The bytes of the plug-in's state as the host stores them in its project. Everything is
// written little-endian, doubles in the IEEE 754 format, whatever machine builds us: a
// project saved by one build must open in every other.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

#include "plugin/GrowableArray.h"

class StateChunk : public GrowableArray<uint8_t> {
public:
    bool Append(const void* bytes, int n)
    {
        const int at = Size();
        if (n <= 0) return true;
        if (!Resize(at + n, false)) return false;
        std::memcpy(AddressOf(at), bytes, static_cast<size_t>(n));
        return true;
    }

    bool PutInt32(int32_t value)
    {
        const uint32_t v = static_cast<uint32_t>(value);
        const uint8_t le[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
        return Append(le, 4);
    }

    bool PutFloat64(double value)
    {
        static_assert(sizeof(double) == 8, "doubles are stored as 8 bytes");
        uint64_t bits;
        std::memcpy(&bits, &value, 8);
        uint8_t le[8];
        for (int i = 0; i < 8; ++i) le[i] = static_cast<uint8_t>(bits >> (8 * i));
        return Append(le, 8);
    }

    // Length as a little-endian int32, then the bytes, no terminator.
    bool PutString(const std::string& s)
    {
        const int32_t length = static_cast<int32_t>(s.size());
        return PutInt32(length) && Append(s.data(), length);
    }
};
