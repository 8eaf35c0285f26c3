#include "formats/clap/ClapHost.h"

#include <string>

#include "plugin/PluginCore.h"

namespace {

template <typename Extension>
const Extension* HostExtension(const clap_host_t* host, const char* id)
{
    if (!host || !host->get_extension) return nullptr;
    return static_cast<const Extension*>(host->get_extension(host, id));
}

}  // namespace

void ClapHost::Bind()
{
    params = HostExtension<clap_host_params_t>(host, CLAP_EXT_PARAMS);
    gui = HostExtension<clap_host_gui_t>(host, CLAP_EXT_GUI);
    timers = HostExtension<clap_host_timer_support_t>(host, CLAP_EXT_TIMER_SUPPORT);
    fds = HostExtension<clap_host_posix_fd_support_t>(host, CLAP_EXT_POSIX_FD_SUPPORT);
    threads = HostExtension<clap_host_thread_check_t>(host, CLAP_EXT_THREAD_CHECK);
    log = HostExtension<clap_host_log_t>(host, CLAP_EXT_LOG);
    // An extension with a missing function is as good as none.
    if (params && (!params->rescan || !params->request_flush)) params = nullptr;
    if (gui && !gui->request_resize) gui = nullptr;
    if (timers && (!timers->register_timer || !timers->unregister_timer)) timers = nullptr;
    if (fds && (!fds->register_fd || !fds->modify_fd || !fds->unregister_fd)) fds = nullptr;
    if (threads && (!threads->is_main_thread || !threads->is_audio_thread)) threads = nullptr;
    if (log && !log->log) log = nullptr;
}

void ClapHost::Log(clap_log_severity severity, const char* message) const
{
    if (log) log->log(host, severity, message);
}

bool ClapHost::OnMainThread(const char* call) const
{
    if (!threads || threads->is_main_thread(host)) return true;
    Log(CLAP_LOG_HOST_MISBEHAVING, (std::string(call) + " called off the main thread").c_str());
    return false;
}

bool ClapHost::OnAudioThread(const char* call) const
{
    if (!threads || threads->is_audio_thread(host)) return true;
    // No allocation: the audio thread may be the one that is wrong.
    char message[128] = "audio call off the audio thread: ";
    size_t at = sizeof "audio call off the audio thread: " - 1;
    for (const char* c = call; c && *c && at + 1 < sizeof message; ++c) message[at++] = *c;
    message[at] = '\0';
    Log(CLAP_LOG_HOST_MISBEHAVING, message);
    return false;
}

void ClapHost::Queue(ParamEdit::Kind kind, int32_t index, double value)
{
    ParamEdit edit;
    edit.kind = kind;
    edit.param = static_cast<uint32_t>(index);
    edit.value = value;
    if (edits.Push(edit) || kind != ParamEdit::kBegin) return;
    // A gesture whose beginning found no room is not ended either.
    begun &= ~(1u << index);
}

void ClapHost::RequestFlush() const
{
    // The host answers with a flush, or takes the edits in its next block.
    if (params) params->request_flush(host);
}

void ClapHost::ParameterEdited(PluginCore& plug, int32_t index, float normalized)
{
    if (index < 0 || index >= kMaxParams || index >= plug.ParamCount()) return;
    const double plain = plug.ParamAt(index).FromNormalized(normalized);
    if (plain != plain) return;
    const uint32_t bit = 1u << index;
    if (!inGesture) {
        // A turn of the wheel or a double click is a gesture of its own.
        Queue(ParamEdit::kBegin, index, 0.0);
        Queue(ParamEdit::kValue, index, plain);
        Queue(ParamEdit::kEnd, index, 0.0);
    } else {
        if (!(begun & bit)) {
            begun |= bit;
            Queue(ParamEdit::kBegin, index, 0.0);
        }
        Queue(ParamEdit::kValue, index, plain);
    }
    RequestFlush();
}

void ClapHost::EditGestureBegan(PluginCore&)
{
    inGesture = true;
    begun = 0;
}

void ClapHost::EditGestureEnded(PluginCore&)
{
    if (!inGesture) return;
    inGesture = false;
    if (!begun) return;
    for (int i = 0; i < kMaxParams; ++i)
        if (begun & (1u << i)) Queue(ParamEdit::kEnd, i, 0.0);
    begun = 0;
    RequestFlush();
}

void ClapHost::SendEdits(const clap_output_events_t* out)
{
    if (!out || !out->try_push) return;
    // One reader at a time, even for a host that flushes while it processes: the other
    // leaves the edits to it rather than wait.
    if (sending.exchange(true, std::memory_order_acquire)) return;
    ParamEdit edit;
    while (edits.Peek(edit)) {
        bool taken;
        if (edit.kind == ParamEdit::kValue) {
            clap_event_param_value_t event = {};
            event.header.size = sizeof event;
            event.header.time = 0;
            event.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
            event.header.type = CLAP_EVENT_PARAM_VALUE;
            event.header.flags = CLAP_EVENT_IS_LIVE;
            event.param_id = edit.param;
            event.cookie = nullptr;
            event.note_id = -1;
            event.port_index = -1;
            event.channel = -1;
            event.key = -1;
            event.value = edit.value;
            taken = out->try_push(out, &event.header);
        } else {
            clap_event_param_gesture_t event = {};
            event.header.size = sizeof event;
            event.header.time = 0;
            event.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
            event.header.type = edit.kind == ParamEdit::kBegin ? CLAP_EVENT_PARAM_GESTURE_BEGIN
                                                               : CLAP_EVENT_PARAM_GESTURE_END;
            event.header.flags = CLAP_EVENT_IS_LIVE;
            event.param_id = edit.param;
            taken = out->try_push(out, &event.header);
        }
        if (!taken) break;  // the rest go with the next block or flush
        edits.Pop();
    }
    sending.store(false, std::memory_order_release);
}

bool ClapHost::ResizeEditor(PluginCore&, int32_t width, int32_t height)
{
    if (!gui || width <= 0 || height <= 0) return false;
    return gui->request_resize(host, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
}
