// The CLAP plug-in record: lifecycle, audio and extensions, through the plug-in object's own
// operations, as every format drives it.
#include <cmath>
#include <cstring>
#include <new>

#include "formats/clap/ClapInstance.h"
#include "plugin/PluginCore.h"

namespace {

bool Init(const clap_plugin_t* plugin)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance) return false;
    if (instance->core) return true;  // a second init changes nothing
    instance->host.Bind();
    instance->host.OnMainThread("init");
    PluginCore* core = CreatePluginInstance(instance->host);
    if (!core) return false;
    const int count = core->ParamCount() < ClapHost::kMaxParams ? core->ParamCount() : ClapHost::kMaxParams;
    for (int i = 0; i < count; ++i) instance->defaults[i] = core->ParamAt(i).Value();
    core->NotifyAllParameters();
    instance->core = core;
    return true;
}

void Deactivate(const clap_plugin_t* plugin);

void Destroy(const clap_plugin_t* plugin)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance) return;
    instance->host.OnMainThread("destroy");
    if (instance->core) {
        // A host that forgets to deactivate or to destroy the editor first.
        if (instance->active.load()) Deactivate(plugin);
        DropClapEditor(*instance);
        delete instance->core;
    }
    delete instance;
}

bool Activate(const clap_plugin_t* plugin, double rate, uint32_t minFrames, uint32_t maxFrames)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || !instance->core) return false;
    instance->host.OnMainThread("activate");
    if (instance->active.load()) {
        instance->host.Log(CLAP_LOG_HOST_MISBEHAVING, "activate called while active");
        return false;
    }
    // A rate the plug-in could not be told about exactly (VST passes it as a float).
    if (!std::isfinite(rate) || rate < 1.0 || rate > 16.0e6 || minFrames > maxFrames) return false;
    PluginCore* core = instance->core;
    // As the VST build is told it: a rate narrowed to the float its hosts pass.
    core->SetSampleRate(static_cast<float>(rate));
    core->SetBlockSize(maxFrames > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(maxFrames));
    core->SetActive(true);
    instance->checkAudioThread = true;
    instance->active.store(true);
    return true;
}

void Deactivate(const clap_plugin_t* plugin)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || !instance->core) return;
    instance->host.OnMainThread("deactivate");
    if (!instance->active.exchange(false)) return;
    instance->core->SetActive(false);
}

bool StartProcessing(const clap_plugin_t* plugin)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || !instance->active.load()) return false;
    instance->host.OnAudioThread("start_processing");
    instance->checkAudioThread = true;
    return true;
}

void StopProcessing(const clap_plugin_t* plugin)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (instance && instance->active.load()) instance->host.OnAudioThread("stop_processing");
}

// The signal history lives in the editor's picture, which the next blocks replace: nothing
// to forget on the audio thread, which must not wait for the editor's lock.
void ResetSignal(const clap_plugin_t* plugin)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (instance && instance->active.load()) instance->host.OnAudioThread("reset");
}

// A port's channel pointers, two of them, null where the port has no channel.
template <typename Sample>
void Channels(const clap_audio_buffer_t* port, Sample** (clap_audio_buffer_t::*data), Sample* (&out)[2])
{
    out[0] = out[1] = nullptr;
    if (!port || !(port->*data)) return;
    for (uint32_t c = 0; c < 2 && c < port->channel_count; ++c) out[c] = (port->*data)[c];
}

template <typename Sample>
void Stage(PluginCore* core, Sample** inputs, Sample** outputs, int frames)
{
    try {
        if constexpr (sizeof(Sample) == sizeof(float))
            core->ProcessFloats(inputs, outputs, frames);
        else
            core->ProcessDoubles(inputs, outputs, frames);
    } catch (...) {
        core->PassThroughUnprocessed(inputs, outputs, frames, false);
    }
}

// An input and an output of different sample sizes: the input, converted, is written to the
// output first and processed in place there.
template <typename From, typename To>
void ConvertInto(From* const (&inputs)[2], To* (&outputs)[2], uint32_t frames)
{
    for (int c = 0; c < 2; ++c) {
        if (!outputs[c]) continue;
        if (!inputs[c]) {
            std::memset(outputs[c], 0, sizeof(To) * frames);
            continue;
        }
        for (uint32_t i = 0; i < frames; ++i) outputs[c][i] = static_cast<To>(inputs[c][i]);
    }
}

void ProcessAudio(PluginCore* core, const clap_process_t* process)
{
    const uint32_t frames = process->frames_count;
    if (frames == 0 || frames > 0x7FFFFFFFu) return;
    const int n = static_cast<int>(frames);
    const clap_audio_buffer_t* in = process->audio_inputs_count > 0 ? process->audio_inputs : nullptr;
    const clap_audio_buffer_t* out = process->audio_outputs_count > 0 ? process->audio_outputs : nullptr;
    float* in32[2];
    float* out32[2];
    double* in64[2];
    double* out64[2];
    Channels(in, &clap_audio_buffer_t::data32, in32);
    Channels(out, &clap_audio_buffer_t::data32, out32);
    Channels(in, &clap_audio_buffer_t::data64, in64);
    Channels(out, &clap_audio_buffer_t::data64, out64);
    const bool in32Given = in32[0] || in32[1], in64Given = in64[0] || in64[1];
    const bool out32Given = out32[0] || out32[1], out64Given = out64[0] || out64[1];
    if (out64Given && !out32Given && in32Given && !in64Given) {
        ConvertInto(in32, out64, frames);
        Stage(core, out64, out64, n);
    } else if (out32Given && !out64Given && in64Given && !in32Given) {
        ConvertInto(in64, out32, frames);
        Stage(core, out32, out32, n);
    } else if (in64Given || out64Given) {
        Stage(core, in64, out64, n);
    } else {
        Stage(core, in32, out32, n);
    }
}

clap_process_status Process(const clap_plugin_t* plugin, const clap_process_t* process)
{
    ClapInstance* instance = ClapInstance::Of(plugin);
    if (!instance || !instance->core || !process || !instance->active.load()) return CLAP_PROCESS_ERROR;
    // Once per run of blocks: asking the host every block would be a call out on the audio path.
    if (instance->checkAudioThread.exchange(false, std::memory_order_relaxed))
        instance->host.OnAudioThread("process");
    ApplyParamEvents(*instance, process->in_events);
    ProcessAudio(instance->core, process);
    instance->host.SendEdits(process->out_events);
    return CLAP_PROCESS_CONTINUE;
}

const void* GetExtension(const clap_plugin_t* plugin, const char* id)
{
    if (!ClapInstance::Of(plugin) || !id) return nullptr;
    if (std::strcmp(id, CLAP_EXT_AUDIO_PORTS) == 0) return &kClapAudioPorts;
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return &kClapParams;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kClapState;
    if (std::strcmp(id, CLAP_EXT_LATENCY) == 0) return &kClapLatency;
    if (std::strcmp(id, CLAP_EXT_GUI) == 0) return &kClapGui;
#if !defined(_WIN32)
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return &kClapTimerSupport;
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) return &kClapPosixFdSupport;
#endif
    return nullptr;
}

void OnMainThread(const clap_plugin_t* plugin)
{
    if (ClapInstance* instance = ClapInstance::Of(plugin)) instance->host.OnMainThread("on_main_thread");
}

}  // namespace

const clap_plugin_t* CreateClapPlugin(const clap_host_t* host)
{
    ClapInstance* instance = new (std::nothrow) ClapInstance(host);
    if (!instance) return nullptr;
    clap_plugin_t& record = instance->record;
    record.desc = &kClapDescriptor;
    record.plugin_data = instance;
    record.init = Init;
    record.destroy = Destroy;
    record.activate = Activate;
    record.deactivate = Deactivate;
    record.start_processing = StartProcessing;
    record.stop_processing = StopProcessing;
    record.reset = ResetSignal;
    record.process = Process;
    record.get_extension = GetExtension;
    record.on_main_thread = OnMainThread;
    return &record;
}
