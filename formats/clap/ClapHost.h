// The CLAP host as the plug-in sees it: the host record and the host extensions the plug-in
// uses, the editor's edits queued for the host's output events, the editor's room asked
// through the host's gui extension, and the checks of the thread each call arrives on.
#pragma once

#include <atomic>
#include <cstdint>

#include "formats/clap/ClapAbi.h"
#include "formats/clap/EditQueue.h"
#include "plugin/PluginHost.h"

class ClapHost final : public PluginHost {
public:
    explicit ClapHost(const clap_host_t* host) : host(host) {}

    // Looks up the host's extensions; only from the plug-in's init on.
    void Bind();

    // Host ids single out VST hosts' ways (a floating editor, a window section in the state);
    // a CLAP host gets none of them, so it stays unnamed.
    bool Identify(PluginCore&, std::string&, std::string&, int32_t&) override { return false; }
    void ParameterEdited(PluginCore& plug, int32_t index, float normalized) override;
    bool ResizeEditor(PluginCore& plug, int32_t width, int32_t height) override;
    void EditGestureBegan(PluginCore& plug) override;
    void EditGestureEnded(PluginCore& plug) override;

    // The audio side: hands the queued edits to the host, oldest first, until it takes no more.
    void SendEdits(const clap_output_events_t* out);

    // A call made on a thread the format does not allow for it is reported to the host's log
    // (when the host tells its threads); true when the thread is right or cannot be told.
    bool OnMainThread(const char* call) const;
    bool OnAudioThread(const char* call) const;
    void Log(clap_log_severity severity, const char* message) const;

    const clap_host_t* Record() const { return host; }
    const clap_host_params_t* Params() const { return params; }
    const clap_host_timer_support_t* Timers() const { return timers; }
    const clap_host_gui_t* Gui() const { return gui; }
    const clap_host_posix_fd_support_t* Fds() const { return fds; }

    // Parameters the editor may edit; their gestures are tracked one bit each.
    static constexpr int kMaxParams = 32;

private:
    void Queue(ParamEdit::Kind kind, int32_t index, double value);
    void RequestFlush() const;

    const clap_host_t* host;
    const clap_host_params_t* params = nullptr;
    const clap_host_gui_t* gui = nullptr;
    const clap_host_timer_support_t* timers = nullptr;
    const clap_host_posix_fd_support_t* fds = nullptr;
    const clap_host_thread_check_t* threads = nullptr;
    const clap_host_log_t* log = nullptr;
    EditQueue edits;
    std::atomic<bool> sending{false};
    // Editor thread only: a mouse gesture is under way, and the parameters it began.
    bool inGesture = false;
    uint32_t begun = 0;
};
