// Arbitrary blobs as an LV2 host hands them back to the plug-in's state interface: any
// bytes under any type, size and flags, or none at all. The first byte says how the host
// answers, the rest is the blob:
//   bits 0-1  type: 0 and 1 the plug-in's chunk type, 2 another type, 3 the next four bytes
//   bit 2     the host holds nothing under the key
//   bits 3-7  the flags, as given
// A restore the plug-in refuses must change nothing it saves; one it takes must save a blob
// that reloads unchanged; and the audio must pass through the restored plug-in bit for bit.
// The instance lives across inputs, as in a session: each input starts from a new instance's
// state restored.
#include <lv2/atom/atom.h>
#include <lv2/core/lv2.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "tests/fuzz/FuzzHost.h"

extern "C" const LV2_Descriptor* lv2_descriptor(uint32_t index);

using FuzzHost::Fail;

namespace {

// The key sessions hold the blob under: saved projects depend on it never changing.
constexpr const char* kStateKey = "urn:veksa:quillograph#chunk";
constexpr const char* kPluginUri = "urn:veksa:quillograph";

std::vector<std::string>& Uris()
{
    static std::vector<std::string> uris;
    return uris;
}

LV2_URID Map(LV2_URID_Map_Handle, const char* uri)
{
    std::vector<std::string>& uris = Uris();
    for (size_t i = 0; i < uris.size(); ++i)
        if (uris[i] == uri) return static_cast<LV2_URID>(i + 1);
    uris.emplace_back(uri);
    return static_cast<LV2_URID>(uris.size());
}

// What the host hands back for one restore: the blob in a block of exactly its size, so
// that a read past it is caught.
struct Stored {
    LV2_URID key = 0;
    bool present = false;
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    uint32_t type = 0;
    uint32_t flags = 0;
    int asked = 0;

    void Set(const uint8_t* data, size_t n)
    {
        bytes.reset(new uint8_t[n]);
        if (n) std::memcpy(bytes.get(), data, n);
        size = n;
        present = true;
    }
};

const void* Retrieve(LV2_State_Handle handle, uint32_t key, size_t* size, uint32_t* type, uint32_t* flags)
{
    auto* stored = static_cast<Stored*>(handle);
    ++stored->asked;
    if (key != stored->key || !stored->present) return nullptr;
    *size = stored->size;
    *type = stored->type;
    *flags = stored->flags;
    return stored->bytes.get();
}

struct Saved {
    LV2_URID key = 0;
    std::vector<uint8_t> bytes;
    uint32_t type = 0;
    int stores = 0;
};

LV2_State_Status Store(LV2_State_Handle handle, uint32_t key, const void* value, size_t size, uint32_t type,
                       uint32_t flags)
{
    auto* saved = static_cast<Saved*>(handle);
    ++saved->stores;
    if (key != saved->key) Fail("the state is stored under another key");
    if (!(flags & LV2_STATE_IS_POD) || !(flags & LV2_STATE_IS_PORTABLE)) Fail("the blob is not marked portable data");
    if (!value || size == 0) Fail("an empty blob is stored");
    const auto* bytes = static_cast<const uint8_t*>(value);
    saved->bytes.assign(bytes, bytes + size);
    saved->type = type;
    return LV2_STATE_SUCCESS;
}

struct Plugin {
    const LV2_Descriptor* descriptor = nullptr;
    LV2_Handle handle = nullptr;
    const LV2_State_Interface* state = nullptr;
    LV2_URID chunkKey = 0;
    LV2_URID chunkType = 0;
    LV2_URID otherType = 0;
    std::vector<uint8_t> fresh;
    std::vector<float> in[2], out[2];
};

std::vector<uint8_t> Save(Plugin& plugin)
{
    Saved saved;
    saved.key = plugin.chunkKey;
    if (plugin.state->save(plugin.handle, Store, &saved, 0, nullptr) != LV2_STATE_SUCCESS || saved.stores != 1)
        Fail("the state does not save as one blob");
    if (saved.type != plugin.chunkType) Fail("the blob is saved under another type");
    return saved.bytes;
}

LV2_State_Status Restore(Plugin& plugin, Stored& stored)
{
    stored.key = plugin.chunkKey;
    stored.asked = 0;
    const LV2_State_Status status = plugin.state->restore(plugin.handle, Retrieve, &stored, 0, nullptr);
    if (stored.asked != 1) Fail("a restore does not ask for the blob once");
    return status;
}

LV2_State_Status RestoreOwn(Plugin& plugin, const std::vector<uint8_t>& blob)
{
    Stored stored;
    stored.Set(blob.data(), blob.size());
    stored.type = plugin.chunkType;
    stored.flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
    return Restore(plugin, stored);
}

Plugin Make()
{
    Plugin plugin;
    plugin.descriptor = lv2_descriptor(0);
    if (!plugin.descriptor || std::strcmp(plugin.descriptor->URI, kPluginUri) != 0) Fail("no descriptor");
    static LV2_URID_Map map = {nullptr, Map};
    static const LV2_Feature mapFeature = {LV2_URID__map, &map};
    static const LV2_Feature* const features[] = {&mapFeature, nullptr};
    plugin.handle = plugin.descriptor->instantiate(plugin.descriptor, 48000.0, "/nonexistent/", features);
    if (!plugin.handle) Fail("no instance");
    plugin.state = static_cast<const LV2_State_Interface*>(plugin.descriptor->extension_data(LV2_STATE__interface));
    if (!plugin.state) Fail("no state interface");
    plugin.chunkKey = Map(nullptr, kStateKey);
    plugin.chunkType = Map(nullptr, LV2_ATOM__Chunk);
    plugin.otherType = Map(nullptr, LV2_ATOM__String);

    // Sines and the values a careless conversion would alter: negative zero, subnormals,
    // the largest finite value, full scale.
    const float special[] = {-0.0f, std::numeric_limits<float>::denorm_min(), -std::numeric_limits<float>::denorm_min(),
                             1.0f, -1.0f, std::numeric_limits<float>::max(), 1.0e-30f};
    for (int c = 0; c < 2; ++c) {
        plugin.in[c].resize(4100);
        plugin.out[c].resize(4100);
        for (size_t i = 0; i < plugin.in[c].size(); ++i)
            plugin.in[c][i] = i % 61 < 7 ? special[i % 61]
                                         : static_cast<float>(0.5 * std::sin(0.0627 * (c + 1) * static_cast<double>(i)));
    }
    plugin.descriptor->activate(plugin.handle);
    plugin.fresh = Save(plugin);
    return plugin;
}

// Blocks of one frame, of a common size and of more than the plug-in's piece, the last one
// in place; every sample must come out as it went in.
void Play(Plugin& plugin)
{
    const LV2_Descriptor* d = plugin.descriptor;
    std::vector<float> inPlace[2] = {plugin.in[0], plugin.in[1]};
    const uint32_t blocks[] = {1, 512, 4100};
    for (uint32_t frames : blocks) {
        const bool shared = frames == 4100;
        for (int c = 0; c < 2; ++c) {
            d->connect_port(plugin.handle, c, shared ? inPlace[c].data() : plugin.in[c].data());
            d->connect_port(plugin.handle, 2 + c, shared ? inPlace[c].data() : plugin.out[c].data());
        }
        d->run(plugin.handle, frames);
        for (int c = 0; c < 2; ++c) {
            const float* out = shared ? inPlace[c].data() : plugin.out[c].data();
            if (std::memcmp(out, plugin.in[c].data(), frames * sizeof(float)) != 0)
                Fail("the audio does not pass through unchanged");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Plugin plugin = Make();
    if (size < 1) return 0;
    if (RestoreOwn(plugin, plugin.fresh) != LV2_STATE_SUCCESS) Fail("a new instance's state does not restore");
    const std::vector<uint8_t> before = Save(plugin);
    if (before != plugin.fresh) Fail("a new instance's state does not reload unchanged");

    const uint8_t mode = data[0];
    const uint8_t* blob = data + 1;
    size_t blobSize = size - 1;
    Stored stored;
    stored.flags = mode >> 3;
    switch (mode & 3) {
    case 2: stored.type = plugin.otherType; break;
    case 3:
        if (blobSize < 4) return 0;
        std::memcpy(&stored.type, blob, 4);
        blob += 4;
        blobSize -= 4;
        break;
    default: stored.type = plugin.chunkType; break;
    }
    const bool held = !(mode & 4);
    if (held) stored.Set(blob, blobSize);

    const LV2_State_Status status = Restore(plugin, stored);
    if (!held && status != LV2_STATE_ERR_NO_PROPERTY) Fail("a missing blob is not answered as missing");
    if (held && stored.type != plugin.chunkType && status != LV2_STATE_ERR_BAD_TYPE)
        Fail("a blob of another type is not refused as such");
    if (status != LV2_STATE_SUCCESS && status != LV2_STATE_ERR_NO_PROPERTY && status != LV2_STATE_ERR_BAD_TYPE &&
        status != LV2_STATE_ERR_UNKNOWN)
        Fail("a restore answers an unexpected status");

    const std::vector<uint8_t> after = Save(plugin);
    if (status != LV2_STATE_SUCCESS) {
        if (after != before) Fail("a refused restore changes the state");
    } else {
        if (RestoreOwn(plugin, after) != LV2_STATE_SUCCESS) Fail("the plug-in refuses its own saved blob");
        if (Save(plugin) != after) Fail("a saved blob does not reload unchanged");
    }
    Play(plugin);
    return 0;
}
