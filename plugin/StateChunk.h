// The bytes of the plug-in's state as the host stores them in its project.
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

    // Length as a little-endian int32, then the bytes, no terminator.
    bool PutString(const std::string& s)
    {
        const int32_t length = static_cast<int32_t>(s.size());
        const uint8_t le[4] = {uint8_t(length), uint8_t(length >> 8), uint8_t(length >> 16), uint8_t(length >> 24)};
        return Append(le, 4) && Append(s.data(), length);
    }
};
