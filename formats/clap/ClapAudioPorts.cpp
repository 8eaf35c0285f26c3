// The audio-ports and latency extensions: one stereo input and one stereo output, the main
// pair, which may share buffers; 32- or 64-bit samples; no latency.
#include <cstring>

#include "formats/clap/ClapInstance.h"

namespace {

constexpr clap_id kMainPort = 0;

uint32_t PortCount(const clap_plugin_t* plugin, bool)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance) return 0;
    instance->host.OnMainThread("audio_ports.count");
    return 1;
}

bool PortInfo(const clap_plugin_t* plugin, uint32_t index, bool isInput, clap_audio_port_info_t* info)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || index != 0 || !info) return false;
    instance->host.OnMainThread("audio_ports.get");
    std::memset(info, 0, sizeof *info);
    info->id = kMainPort;
    std::strcpy(info->name, isInput ? "Input" : "Output");
    info->flags = CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS;
    info->channel_count = 2;
    info->port_type = CLAP_PORT_STEREO;
    info->in_place_pair = kMainPort;
    return true;
}

uint32_t Latency(const clap_plugin_t* plugin)
{
    if (ClapInstance* instance = ClapInstance::Of(plugin)) instance->host.OnMainThread("latency.get");
    return 0;
}

}  // namespace

const clap_plugin_audio_ports_t kClapAudioPorts = {PortCount, PortInfo};
const clap_plugin_latency_t kClapLatency = {Latency};
