// The state extension: the very bytes of the VST build's chunk, so a project or preset saved
// by either build opens in the other.
#include <vector>

#include "formats/clap/ClapInstance.h"
#include "formats/clap/ClapStream.h"
#include "plugin/PluginCore.h"

namespace {

// The largest state taken from a host; far above anything the plug-in writes.
constexpr size_t kMaxStateBytes = 16 * 1024 * 1024;

bool Save(const clap_plugin_t* plugin, const clap_ostream_t* stream)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || !instance->core || !stream) return false;
    instance->host.OnMainThread("state.save");
    const StateChunk* chunk = instance->core->SaveStateChunk();
    if (!chunk) return false;
    return WriteWholeStream(stream, chunk->Data(), static_cast<size_t>(chunk->Size()));
}

bool Load(const clap_plugin_t* plugin, const clap_istream_t* stream)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || !instance->core || !stream) return false;
    instance->host.OnMainThread("state.load");
    std::vector<uint8_t> bytes;
    // Nothing is applied before the whole state is read and accepted.
    if (!ReadWholeStream(stream, bytes, kMaxStateBytes) || bytes.empty()) return false;
    if (!instance->core->LoadStateBytes(bytes.data(), static_cast<int64_t>(bytes.size()))) return false;
    // The host's idea of the values is stale now.
    if (const clap_host_params_t* params = instance->host.Params())
        params->rescan(instance->host.Record(), CLAP_PARAM_RESCAN_VALUES);
    return true;
}

}  // namespace

const clap_plugin_state_t kClapState = {Save, Load};
