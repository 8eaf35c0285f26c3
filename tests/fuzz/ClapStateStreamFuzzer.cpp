// The host's stream for a CLAP state load, scripted by the input: its first bytes say, read by
// read, how the stream answers (fewer bytes than asked, none (the end), an error, more than
// asked, or bytes without end), the rest are the bytes it gives. Whatever it does, a load
// that fails changes nothing, one that succeeds leaves sound values, and what the instance
// then saves loads back into it as the same bytes.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "formats/clap/ClapInstance.h"
#include "plugin/PluginCore.h"
#include "tests/fuzz/FuzzHost.h"

using FuzzHost::Fail;

namespace {

constexpr size_t kScript = 8;

struct Script {
    const uint8_t* moves = nullptr;
    size_t moveCount = 0;
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    size_t at = 0;
    size_t read = 0;
    bool endless = false;
};

int64_t Read(const clap_istream_t* stream, void* buffer, uint64_t asked)
{
    auto* s = static_cast<Script*>(stream->ctx);
    if (s->endless) {
        // Far past any state: gives what is asked for, every time.
        std::memset(buffer, 0x5A, static_cast<size_t>(asked));
        return static_cast<int64_t>(asked);
    }
    // Without a script, a well-behaved stream: all that is asked for.
    const uint8_t move = s->moveCount ? s->moves[s->read++ % s->moveCount] : 0xFC;
    switch (move & 7) {
    case 0: return 0;
    case 1: return -1 - (move >> 3);
    case 2: return static_cast<int64_t>(asked) + 1 + (move >> 3);
    case 3:
        if (move == 0xFB) s->endless = true;
        break;
    default: break;
    }
    if (s->at >= s->size) return 0;
    // Pieces from one byte up to all that is asked for.
    size_t n = (move >> 3) == 31 ? static_cast<size_t>(asked) : (move >> 3) + 1u;
    if (n > asked) n = static_cast<size_t>(asked);
    if (n > s->size - s->at) n = s->size - s->at;
    std::memcpy(buffer, s->bytes + s->at, n);
    s->at += n;
    return static_cast<int64_t>(n);
}

int64_t Write(const clap_ostream_t* stream, const void* bytes, uint64_t size)
{
    auto* out = static_cast<std::vector<uint8_t>*>(stream->ctx);
    const auto* b = static_cast<const uint8_t*>(bytes);
    out->insert(out->end(), b, b + size);
    return static_cast<int64_t>(size);
}

std::vector<uint8_t> Save(ClapInstance& instance)
{
    std::vector<uint8_t> bytes;
    const clap_ostream_t stream = {&bytes, Write};
    if (!kClapState.save(&instance.record, &stream)) Fail("save failed");
    return bytes;
}

bool Load(ClapInstance& instance, Script& script)
{
    const clap_istream_t stream = {&script, Read};
    return kClapState.load(&instance.record, &stream);
}

ClapInstance& Instance()
{
    static ClapInstance* instance = [] {
        static clap_host_t host = {};
        host.clap_version = CLAP_VERSION;
        auto* made = new ClapInstance(&host);
        made->record.plugin_data = made;
        made->core = CreatePluginInstance(made->host);
        if (!made->core) Fail("no plug-in");
        return made;
    }();
    return *instance;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    ClapInstance& instance = Instance();
    static const std::vector<uint8_t> fresh = Save(instance);
    Script reset;
    reset.bytes = fresh.data();
    reset.size = fresh.size();
    if (!Load(instance, reset)) Fail("the fresh state does not load");

    Script script;
    script.moves = data;
    script.moveCount = size < kScript ? size : kScript;
    script.bytes = data + script.moveCount;
    script.size = size - script.moveCount;
    const bool loaded = Load(instance, script);
    const std::vector<uint8_t> after = Save(instance);
    if (!loaded && after != fresh) Fail("a refused load changed the state");
    if (!loaded) return 0;
    for (int i = 0; i < instance.core->ParamCount(); ++i) {
        const Param& param = instance.core->ParamAt(i);
        if (!(param.Value() >= param.Min() && param.Value() <= param.Max())) Fail("a value outside its range");
    }
    Script again;
    again.bytes = after.data();
    again.size = after.size();
    if (!Load(instance, again) || Save(instance) != after) Fail("a saved state does not load back the same");
    return 0;
}
