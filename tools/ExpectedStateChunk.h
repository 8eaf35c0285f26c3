// The state chunk of a fresh instance outside host id 1, byte for byte: four float64 values
// and four colours (alpha, red, green, blue as int32), all little-endian. The native tests and
// the test host's checks of both DLLs compare against these same bytes, and build the chunks
// they load with the writers below, independently of the plug-in's own code.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

constexpr int kExpectedStateChunkSize = 96;

constexpr uint8_t kExpectedStateChunk[kExpectedStateChunkSize] = {
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // domain 1.0 ("freq")
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF0, 0x3F,  // v scale 1.0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // fft zoom 0
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // pause off
    0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // background 255, 0, 0, 0
    0xFF, 0x00, 0x00, 0x00, 0xDC, 0x00, 0x00, 0x00, 0xDC, 0x00, 0x00, 0x00, 0x64, 0x00, 0x00, 0x00,  // graph fill 255, 220, 220, 100
    0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00,  // graph edge 255, 255, 255, 255
    0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00,  // caption 255, 0, 128, 255
};

using ChunkBytes = std::vector<uint8_t>;

inline void AppendInt32(ChunkBytes& b, int32_t v)
{
    const size_t at = b.size();
    b.resize(at + 4);
    for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

inline void AppendFloat64(ChunkBytes& b, double v)
{
    uint64_t bits;
    std::memcpy(&bits, &v, 8);
    const size_t at = b.size();
    b.resize(at + 8);
    for (size_t i = 0; i < 8; ++i) b[at + i] = static_cast<uint8_t>(bits >> (8 * i));
}

// Length as int32, then the bytes without terminator.
inline void AppendText(ChunkBytes& b, const std::string& text)
{
    AppendInt32(b, static_cast<int32_t>(text.size()));
    const size_t at = b.size();
    b.resize(at + text.size());
    for (size_t i = 0; i < text.size(); ++i) b[at + i] = static_cast<uint8_t>(text[i]);
}

// The window section that precedes the values in host id 1; place is left, top, right, bottom.
inline ChunkBytes WindowSectionBytes(const std::string& hostClass, const std::string& title, int32_t left,
                                     int32_t top, int32_t right, int32_t bottom)
{
    ChunkBytes b;
    AppendText(b, hostClass);
    AppendText(b, title);
    for (int32_t v : {left, top, right, bottom}) AppendInt32(b, v);
    return b;
}

// Four values, then four colours of alpha, red, green, blue.
inline ChunkBytes ValueSectionBytes(const double (&values)[4], const int32_t (&colours)[4][4])
{
    ChunkBytes b;
    for (double v : values) AppendFloat64(b, v);
    for (const auto& c : colours)
        for (int32_t channel : c) AppendInt32(b, channel);
    return b;
}

// The tail after the layout that carries the editor's scale (written only when it is not
// automatic): the tag "QGEX", a version, the number of bytes that follow, then the fields,
// the scale first. `length` -1 gives the true count of the fields.
inline ChunkBytes ScaleTailBytes(const std::vector<int32_t>& fields, int32_t version = 1, int32_t length = -1,
                                 const char* tag = "QGEX")
{
    ChunkBytes b(tag, tag + 4);
    AppendInt32(b, version);
    AppendInt32(b, length >= 0 ? length : static_cast<int32_t>(4 * fields.size()));
    for (int32_t f : fields) AppendInt32(b, f);
    return b;
}
