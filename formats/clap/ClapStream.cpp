#include "formats/clap/ClapStream.h"

#include <cstring>
#include <new>

namespace {

// Each read asks for at most this much, into a buffer of ours.
constexpr size_t kPiece = 4096;
// A stream that keeps answering with nothing written is given up after this many tries.
constexpr int kIdleWrites = 16;

}  // namespace

bool ReadWholeStream(const clap_istream_t* stream, std::vector<uint8_t>& bytes, size_t limit)
{
    bytes.clear();
    if (!stream || !stream->read) return false;
    uint8_t piece[kPiece];
    try {
        for (;;) {
            const int64_t got = stream->read(stream, piece, sizeof piece);
            if (got == 0) return true;
            if (got < 0 || static_cast<uint64_t>(got) > sizeof piece || bytes.size() + static_cast<size_t>(got) > limit)
                break;
            bytes.insert(bytes.end(), piece, piece + got);
        }
    } catch (const std::bad_alloc&) {
    }
    bytes.clear();
    return false;
}

bool WriteWholeStream(const clap_ostream_t* stream, const void* bytes, size_t size)
{
    if (!stream || !stream->write || (!bytes && size > 0)) return false;
    const auto* at = static_cast<const uint8_t*>(bytes);
    int idle = 0;
    while (size > 0) {
        const int64_t put = stream->write(stream, at, size);
        if (put < 0 || static_cast<uint64_t>(put) > size) return false;
        if (put == 0) {
            if (++idle >= kIdleWrites) return false;
            continue;
        }
        idle = 0;
        at += put;
        size -= static_cast<size_t>(put);
    }
    return true;
}
