// One CLAP instance of the plug-in: the record the host holds, the plug-in object, the host
// as the plug-in sees it, and what the format's calls need to remember between them.
#pragma once

#include <atomic>
#include <cstdint>

#include "formats/clap/ClapAbi.h"
#include "formats/clap/ClapEditorClock.h"
#include "formats/clap/ClapHost.h"

class PluginCore;

struct ClapInstance {
    explicit ClapInstance(const clap_host_t* host) : host(host) {}

    // The instance behind a record the host passes, or null for a record that is not one of ours.
    static ClapInstance* Of(const clap_plugin_t* plugin)
    {
        return plugin ? static_cast<ClapInstance*>(plugin->plugin_data) : nullptr;
    }

    clap_plugin_t record = {};
    ClapHost host;
    PluginCore* core = nullptr;  // made by init
    // Main thread: between activate and deactivate. Read by the audio side as well.
    std::atomic<bool> active{false};
    // The first block after activation or start_processing checks its thread.
    std::atomic<bool> checkAudioThread{true};
    // Each parameter's value when the instance was made: its default.
    double defaults[ClapHost::kMaxParams] = {};
    // The editor: made by the gui extension's create; what drives it on Linux.
    bool editorMade = false;
    ClapEditorClock clock;
};

// The plug-in's record for `host`, not yet initialised; null when it cannot be made.
const clap_plugin_t* CreateClapPlugin(const clap_host_t* host);
// The descriptor every instance and the factory share.
extern const clap_plugin_descriptor_t kClapDescriptor;

// The extensions, each in its own file.
extern const clap_plugin_audio_ports_t kClapAudioPorts;
extern const clap_plugin_latency_t kClapLatency;
extern const clap_plugin_params_t kClapParams;
extern const clap_plugin_state_t kClapState;
extern const clap_plugin_gui_t kClapGui;
extern const clap_plugin_timer_support_t kClapTimerSupport;
extern const clap_plugin_posix_fd_support_t kClapPosixFdSupport;

// The host's parameter events in a block or a flush, applied at once (never waits); other
// events are stepped over.
void ApplyParamEvents(ClapInstance& instance, const clap_input_events_t* events);
// The editor is closed and its clock given back (destroy, or a plug-in going away).
void DropClapEditor(ClapInstance& instance);
