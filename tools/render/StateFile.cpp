#include "tools/render/StateFile.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <fstream>

namespace {

// Far above any state we write (96 bytes, a little more with a window section).
constexpr size_t kMaxBytes = 1 << 20;

uint32_t BigEndian(const std::vector<uint8_t>& bytes, size_t at)
{
    return static_cast<uint32_t>(bytes[at]) << 24 | static_cast<uint32_t>(bytes[at + 1]) << 16 |
           static_cast<uint32_t>(bytes[at + 2]) << 8 | bytes[at + 3];
}

constexpr uint32_t Tag(const char (&text)[5])
{
    return static_cast<uint32_t>(static_cast<uint8_t>(text[0])) << 24 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[1])) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(text[2])) << 8 | static_cast<uint8_t>(text[3]);
}

}  // namespace

bool StateFile::Read(const std::string& path, int32_t uniqueId, std::string& error)
{
    std::ifstream in(path, std::ios::binary);
    struct stat status = {};
    const int reason = !in ? errno : stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) ? EISDIR : 0;
    if (reason) {
        error = std::string("cannot read state file: ") + std::strerror(reason);
        return false;
    }
    std::vector<uint8_t> bytes;
    char block[4096];
    while (in.read(block, sizeof block) || in.gcount() > 0) {
        bytes.insert(bytes.end(), block, block + in.gcount());
        if (bytes.size() > kMaxBytes) {
            error = "malformed state file (far too large)";
            return false;
        }
    }
    if (in.bad()) {
        error = "cannot read state file";
        return false;
    }
    if (bytes.empty()) {
        error = "malformed state file (empty)";
        return false;
    }
    if (bytes.size() < 4 || BigEndian(bytes, 0) != Tag("CcnK")) {
        chunk = std::move(bytes);  // the chunk as stored: the plug-in judges it
        return true;
    }

    // Preset and bank files: big-endian header of magic, size, kind, version, plug-in ID,
    // plug-in version and count, then the kind's own fields.
    auto malformed = [&](const char* why) {
        error = std::string("malformed state file (") + why + ")";
        return false;
    };
    if (bytes.size() < 28) return malformed("truncated preset header");
    const uint32_t kind = BigEndian(bytes, 8);
    if (static_cast<int32_t>(BigEndian(bytes, 16)) != uniqueId) return malformed("a preset of another plug-in");
    const uint32_t count = BigEndian(bytes, 24);
    if (kind == Tag("FPCh") || kind == Tag("FBCh")) {
        // A preset has its 28-byte name before the chunk, a bank 128 reserved bytes.
        const size_t sizeAt = kind == Tag("FPCh") ? 56 : 156;
        if (bytes.size() < sizeAt + 4) return malformed("truncated preset header");
        const size_t size = BigEndian(bytes, sizeAt);
        if (size == 0 || size > bytes.size() - sizeAt - 4) return malformed("truncated chunk");
        chunk.assign(bytes.begin() + static_cast<long>(sizeAt + 4),
                     bytes.begin() + static_cast<long>(sizeAt + 4 + size));
        programChunk = kind == Tag("FPCh");
        return true;
    }
    if (kind == Tag("FxCk")) {
        if (count > 4096 || bytes.size() < 56 + 4 * static_cast<size_t>(count))
            return malformed("truncated parameter list");
        for (uint32_t i = 0; i < count; ++i) {
            const uint32_t word = BigEndian(bytes, 56 + 4 * static_cast<size_t>(i));
            float value;
            std::memcpy(&value, &word, sizeof value);
            if (!(value >= 0.0f && value <= 1.0f)) return malformed("parameter value outside 0 to 1");
            parameters.push_back(value);
        }
        return true;
    }
    return malformed(kind == Tag("FxBk") ? "a bank of parameter presets; export a single preset" : "unknown kind");
}
