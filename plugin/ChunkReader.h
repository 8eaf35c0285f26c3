// Reads a state chunk front to back without ever passing its end: a read that does not fit
// answers false and leaves the position where it was.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>

class ChunkReader {
public:
    ChunkReader(const uint8_t* data, int size) : data(data), size(data && size > 0 ? size : 0) {}

    int Position() const { return position; }
    int Remaining() const { return size - position; }

    bool Skip(int64_t n)
    {
        if (n < 0 || n > Remaining()) return false;
        position += static_cast<int>(n);
        return true;
    }

    bool ReadInt32(int32_t& value)
    {
        if (Remaining() < 4) return false;
        const uint8_t* p = data + position;
        value = static_cast<int32_t>(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
        position += 4;
        return true;
    }

    bool ReadFloat64(double& value)
    {
        if (Remaining() < 8) return false;
        uint64_t bits = 0;
        for (int i = 0; i < 8; ++i) bits |= uint64_t(data[position + i]) << (8 * i);
        std::memcpy(&value, &bits, 8);
        position += 8;
        return true;
    }

    bool ReadBytes(int64_t n, std::string& text)
    {
        if (n < 0 || n > Remaining()) return false;
        text.assign(reinterpret_cast<const char*>(data + position), static_cast<size_t>(n));
        position += static_cast<int>(n);
        return true;
    }

private:
    const uint8_t* data;
    int size;
    int position = 0;
};
