#include "tools/clap/ClapTestHost.h"

#include <algorithm>
#include <cstring>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

// ---------------------------------------------------------------------------------------------
// The library

ClapLibrary::ClapLibrary(const std::string& path)
{
#if defined(_WIN32)
    HMODULE handle = LoadLibraryA(path.c_str());
    module = handle;
    void* symbol = handle ? reinterpret_cast<void*>(GetProcAddress(handle, "clap_entry")) : nullptr;
#else
    module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    void* symbol = module ? dlsym(module, "clap_entry") : nullptr;
#endif
    if (!module) {
        error = "cannot load " + path;
        return;
    }
    entry = static_cast<const clap_plugin_entry_t*>(symbol);
    if (!entry) {
        error = "no clap_entry in " + path;
        return;
    }
    if (!ClapVersionIsCompatible(entry->clap_version) || !entry->init || !entry->deinit || !entry->get_factory) {
        error = "clap_entry is not of a CLAP 1.x library";
        entry = nullptr;
        return;
    }
    initialised = entry->init(path.c_str());
    if (!initialised) {
        error = "clap_entry.init failed";
        return;
    }
    factory = static_cast<const clap_plugin_factory_t*>(entry->get_factory(CLAP_PLUGIN_FACTORY_ID));
    if (!factory) error = "no plug-in factory";
}

ClapLibrary::~ClapLibrary()
{
    if (initialised) entry->deinit();
#if defined(_WIN32)
    if (module) FreeLibrary(static_cast<HMODULE>(module));
#else
    if (module) dlclose(module);
#endif
}

// ---------------------------------------------------------------------------------------------
// The host

namespace {

ClapTestHost* HostOf(const clap_host_t* host) { return host ? static_cast<ClapTestHost*>(host->host_data) : nullptr; }

void CLAP_CALL RequestRestart(const clap_host_t*) {}
void CLAP_CALL RequestProcess(const clap_host_t*) {}
void CLAP_CALL RequestCallback(const clap_host_t*) {}

bool CLAP_CALL IsMainThread(const clap_host_t* host) { return HostOf(host)->IsMainThread(); }
bool CLAP_CALL IsAudioThread(const clap_host_t* host) { return HostOf(host)->IsAudioThread(); }
const clap_host_thread_check_t kThreadCheck = {IsMainThread, IsAudioThread};

void CLAP_CALL Log(const clap_host_t* host, clap_log_severity severity, const char* message)
{
    ClapTestHost* self = HostOf(host);
    const std::string text = message ? message : "(null)";
    self->logged.emplace_back(severity, text);
    if (severity == CLAP_LOG_HOST_MISBEHAVING) self->Problem("the plug-in says the host misbehaved: " + text);
    if (severity == CLAP_LOG_PLUGIN_MISBEHAVING) self->Problem("the plug-in misbehaved: " + text);
}
const clap_host_log_t kLog = {Log};

void CLAP_CALL Rescan(const clap_host_t* host, clap_param_rescan_flags)
{
    ClapTestHost* self = HostOf(host);
    if (!self->IsMainThread()) self->Problem("params.rescan called off the main thread");
    ++self->rescans;
}
void CLAP_CALL Clear(const clap_host_t* host, clap_id, clap_param_clear_flags)
{
    if (!HostOf(host)->IsMainThread()) HostOf(host)->Problem("params.clear called off the main thread");
}
void CLAP_CALL RequestFlush(const clap_host_t* host)
{
    ClapTestHost* self = HostOf(host);
    if (self->IsAudioThread()) self->Problem("params.request_flush called on the audio thread");
    ++self->flushRequests;
}
const clap_host_params_t kParams = {Rescan, Clear, RequestFlush};

void CLAP_CALL MarkDirty(const clap_host_t* host)
{
    ClapTestHost* self = HostOf(host);
    if (!self->IsMainThread()) self->Problem("state.mark_dirty called off the main thread");
    ++self->dirtyMarks;
}
const clap_host_state_t kState = {MarkDirty};

void CLAP_CALL ResizeHintsChanged(const clap_host_t*) {}
bool CLAP_CALL RequestResize(const clap_host_t* host, uint32_t width, uint32_t height)
{
    ClapTestHost* self = HostOf(host);
    if (self->IsAudioThread()) self->Problem("gui.request_resize called on the audio thread");
    self->resizeWidth = width;
    self->resizeHeight = height;
    return self->grantResize;
}
bool CLAP_CALL RequestShow(const clap_host_t*) { return false; }
bool CLAP_CALL RequestHide(const clap_host_t*) { return false; }
void CLAP_CALL Closed(const clap_host_t*, bool) {}
const clap_host_gui_t kGui = {ResizeHintsChanged, RequestResize, RequestShow, RequestHide, Closed};

void CLAP_CALL LatencyChanged(const clap_host_t* host)
{
    if (!HostOf(host)->IsMainThread()) HostOf(host)->Problem("latency.changed called off the main thread");
}
const clap_host_latency_t kLatency = {LatencyChanged};

}  // namespace

struct ClapTimerCalls {
    static bool CLAP_CALL Register(const clap_host_t* host, uint32_t period, clap_id* id)
    {
        ClapTestHost* self = HostOf(host);
        if (!self->IsMainThread()) self->Problem("timer_support.register_timer called off the main thread");
        if (!id) return false;
        *id = self->nextTimer++;
        self->timers[*id] = period;
        return true;
    }
    static bool CLAP_CALL Unregister(const clap_host_t* host, clap_id id)
    {
        ClapTestHost* self = HostOf(host);
        if (!self->IsMainThread()) self->Problem("timer_support.unregister_timer called off the main thread");
        return self->timers.erase(id) == 1;
    }
};

struct ClapFdCalls {
    static bool CLAP_CALL Register(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags)
    {
        ClapTestHost* self = HostOf(host);
        if (!self->IsMainThread()) self->Problem("posix_fd_support.register_fd called off the main thread");
        if (fd < 0 || self->fds.count(fd)) return false;
        self->fds[fd] = flags;
        return true;
    }
    static bool CLAP_CALL Modify(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags)
    {
        ClapTestHost* self = HostOf(host);
        if (!self->IsMainThread()) self->Problem("posix_fd_support.modify_fd called off the main thread");
        if (!self->fds.count(fd)) return false;
        self->fds[fd] = flags;
        return true;
    }
    static bool CLAP_CALL Unregister(const clap_host_t* host, int fd)
    {
        ClapTestHost* self = HostOf(host);
        if (!self->IsMainThread()) self->Problem("posix_fd_support.unregister_fd called off the main thread");
        return self->fds.erase(fd) == 1;
    }
};

namespace {
const clap_host_timer_support_t kTimers = {ClapTimerCalls::Register, ClapTimerCalls::Unregister};
const clap_host_posix_fd_support_t kFds = {ClapFdCalls::Register, ClapFdCalls::Modify, ClapFdCalls::Unregister};
}

ClapTestHost::ClapTestHost() : mainThread(std::this_thread::get_id())
{
    std::memset(&record, 0, sizeof record);
    record.clap_version = CLAP_VERSION;
    record.host_data = this;
    record.name = "Quillograph test host";
    record.vendor = "Veksa";
    record.url = "";
    record.version = "1.0";
    record.get_extension = GetExtension;
    record.request_restart = RequestRestart;
    record.request_process = RequestProcess;
    record.request_callback = RequestCallback;
}

ClapTestHost::~ClapTestHost() = default;

const void* CLAP_CALL ClapTestHost::GetExtension(const clap_host_t* host, const char* id)
{
    ClapTestHost* self = HostOf(host);
    if (!self || !id) return nullptr;
    if (std::strcmp(id, CLAP_EXT_THREAD_CHECK) == 0) return self->offerThreadCheck ? &kThreadCheck : nullptr;
    if (std::strcmp(id, CLAP_EXT_LOG) == 0) return &kLog;
    if (std::strcmp(id, CLAP_EXT_PARAMS) == 0) return self->offerParams ? &kParams : nullptr;
    if (std::strcmp(id, CLAP_EXT_STATE) == 0) return &kState;
    if (std::strcmp(id, CLAP_EXT_GUI) == 0) return self->offerGui ? &kGui : nullptr;
    if (std::strcmp(id, CLAP_EXT_TIMER_SUPPORT) == 0) return self->offerTimers ? &kTimers : nullptr;
    if (std::strcmp(id, CLAP_EXT_LATENCY) == 0) return &kLatency;
    if (std::strcmp(id, CLAP_EXT_POSIX_FD_SUPPORT) == 0) return self->offerFds ? &kFds : nullptr;
    return nullptr;
}

bool ClapTestHost::IsAudioThread() const
{
    return audioRunning.load() && std::this_thread::get_id() == audioThread;
}

void ClapTestHost::OnAudio(const std::function<void()>& work)
{
    std::thread audio([&] {
        audioThread = std::this_thread::get_id();
        audioRunning = true;
        work();
        audioRunning = false;
    });
    audio.join();
}

void ClapTestHost::Problem(const std::string& what)
{
    std::lock_guard<std::mutex> hold(problemsMutex);
    problems.push_back(what);
}

std::vector<std::string> ClapTestHost::TakeProblems()
{
    std::lock_guard<std::mutex> hold(problemsMutex);
    std::vector<std::string> taken;
    taken.swap(problems);
    return taken;
}

// ---------------------------------------------------------------------------------------------
// Events

namespace {

const std::vector<std::vector<uint8_t>>& EventsOf(const clap_input_events_t* list)
{
    return *static_cast<const std::vector<std::vector<uint8_t>>*>(list->ctx);
}

}  // namespace

ClapEventList::ClapEventList()
{
    list.ctx = &events;
    list.size = [](const clap_input_events_t* l) -> uint32_t {
        return static_cast<uint32_t>(EventsOf(l).size());
    };
    list.get = [](const clap_input_events_t* l, uint32_t i) -> const clap_event_header_t* {
        const auto& all = EventsOf(l);
        if (i >= all.size() || all[i].empty()) return nullptr;
        return reinterpret_cast<const clap_event_header_t*>(all[i].data());
    };
}

void ClapEventList::AddParamValue(clap_id param, double value, uint32_t time)
{
    clap_event_param_value_t event;
    std::memset(&event, 0, sizeof event);
    event.header.size = sizeof event;
    event.header.time = time;
    event.header.space_id = CLAP_CORE_EVENT_SPACE_ID;
    event.header.type = CLAP_EVENT_PARAM_VALUE;
    event.param_id = param;
    event.note_id = -1;
    event.port_index = -1;
    event.channel = -1;
    event.key = -1;
    event.value = value;
    const auto* bytes = reinterpret_cast<const uint8_t*>(&event);
    events.emplace_back(bytes, bytes + sizeof event);
}

void ClapEventList::AddRaw(uint16_t space, uint16_t type, uint32_t size, uint32_t time)
{
    if (size < sizeof(clap_event_header_t)) size = sizeof(clap_event_header_t);
    // Eight-byte aligned storage, as a host's event memory is.
    std::vector<uint8_t> bytes(size + 8, 0xA5);
    clap_event_header_t header = {size, time, space, type, 0};
    std::memcpy(bytes.data(), &header, sizeof header);
    bytes.resize(size);
    events.push_back(bytes);
}

ClapOutputList::ClapOutputList()
{
    list.ctx = this;
    list.try_push = [](const clap_output_events_t* l, const clap_event_header_t* header) -> bool {
        auto* self = static_cast<ClapOutputList*>(l->ctx);
        if (!header || self->sent.size() >= self->room) return false;
        ClapSentEvent event;
        event.type = header->type;
        event.time = header->time;
        if (header->type == CLAP_EVENT_PARAM_VALUE && header->size >= sizeof(clap_event_param_value_t)) {
            const auto* value = reinterpret_cast<const clap_event_param_value_t*>(header);
            event.param = value->param_id;
            event.value = value->value;
        } else if ((header->type == CLAP_EVENT_PARAM_GESTURE_BEGIN || header->type == CLAP_EVENT_PARAM_GESTURE_END) &&
                   header->size >= sizeof(clap_event_param_gesture_t)) {
            event.param = reinterpret_cast<const clap_event_param_gesture_t*>(header)->param_id;
        }
        self->sent.push_back(event);
        return true;
    };
}

// ---------------------------------------------------------------------------------------------
// Streams

ClapMemoryOut::ClapMemoryOut()
{
    stream.ctx = this;
    stream.write = [](const clap_ostream_t* s, const void* buffer, uint64_t size) -> int64_t {
        auto* self = static_cast<ClapMemoryOut*>(s->ctx);
        const size_t n = size < self->piece ? static_cast<size_t>(size) : self->piece;
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        self->bytes.insert(self->bytes.end(), bytes, bytes + n);
        return static_cast<int64_t>(n);
    };
}

ClapMemoryIn::ClapMemoryIn(std::vector<uint8_t> bytes) : data(std::move(bytes))
{
    stream.ctx = this;
    stream.read = [](const clap_istream_t* s, void* buffer, uint64_t size) -> int64_t {
        auto* self = static_cast<ClapMemoryIn*>(s->ctx);
        ++self->reads;
        if (self->at >= self->failAt) return -1;
        if (self->zeroReadsBeforeEnd > 0 && self->at > 0) {
            --self->zeroReadsBeforeEnd;
            return 0;
        }
        size_t n = size < self->piece ? static_cast<size_t>(size) : self->piece;
        if (self->at + n > self->failAt) n = self->failAt - self->at;
        if (self->endless) {
            std::memset(buffer, 0, n);
            if (self->at < self->data.size()) {
                const size_t real = std::min(n, self->data.size() - self->at);
                std::memcpy(buffer, self->data.data() + self->at, real);
            }
        } else {
            if (self->at >= self->data.size()) return 0;
            n = std::min(n, self->data.size() - self->at);
            std::memcpy(buffer, self->data.data() + self->at, n);
        }
        self->at += n;
        return static_cast<int64_t>(self->overclaim ? size + 1 : n);
    };
}

// ---------------------------------------------------------------------------------------------
// An instance

ClapInstanceUnderTest::ClapInstanceUnderTest(const ClapLibrary& library, ClapTestHost& host) : host(host)
{
    const clap_plugin_factory_t* factory = library.Factory();
    if (!factory || factory->get_plugin_count(factory) < 1) return;
    const clap_plugin_descriptor_t* descriptor = factory->get_plugin_descriptor(factory, 0);
    if (!descriptor || !descriptor->id) return;
    plugin = factory->create_plugin(factory, host.Record(), descriptor->id);
    if (plugin && !plugin->init(plugin)) {
        plugin->destroy(plugin);
        plugin = nullptr;
    }
}

ClapInstanceUnderTest::~ClapInstanceUnderTest() { Destroy(); }

void ClapInstanceUnderTest::Destroy(bool deactivateFirst)
{
    if (!plugin) return;
    if (deactivateFirst) Deactivate();
    plugin->destroy(plugin);
    plugin = nullptr;
    active = processing = false;
}

bool ClapInstanceUnderTest::Activate(double rate, uint32_t minFrames, uint32_t maxFrames)
{
    if (!plugin || active) return false;
    active = plugin->activate(plugin, rate, minFrames, maxFrames);
    return active;
}

void ClapInstanceUnderTest::Deactivate()
{
    if (!plugin || !active) return;
    if (processing) host.OnAudio([&] { plugin->stop_processing(plugin); });
    processing = false;
    plugin->deactivate(plugin);
    active = false;
}

clap_process_status ClapInstanceUnderTest::Process(clap_process_t& process)
{
    clap_process_status status = CLAP_PROCESS_ERROR;
    host.OnAudio([&] {
        if (active && !processing) processing = plugin->start_processing(plugin);
        status = plugin->process(plugin, &process);
    });
    return status;
}

template <typename Sample>
clap_process_status ClapInstanceUnderTest::ProcessStereo(std::vector<Sample> (&in)[2], std::vector<Sample> (&out)[2],
                                                         uint32_t frames, bool inPlace, const ClapEventList* events,
                                                         ClapOutputList* sent)
{
    Sample* inputs[2] = {in[0].data(), in[1].data()};
    Sample* outputs[2] = {inPlace ? in[0].data() : out[0].data(), inPlace ? in[1].data() : out[1].data()};
    ClapEventList none;
    ClapOutputList discard;
    ClapStereoBlock block(inputs, outputs, frames, (events ? events : &none)->List(), (sent ? sent : &discard)->List());
    return Process(block.process);
}

template clap_process_status ClapInstanceUnderTest::ProcessStereo<float>(std::vector<float> (&)[2],
                                                                         std::vector<float> (&)[2], uint32_t, bool,
                                                                         const ClapEventList*, ClapOutputList*);
template clap_process_status ClapInstanceUnderTest::ProcessStereo<double>(std::vector<double> (&)[2],
                                                                          std::vector<double> (&)[2], uint32_t, bool,
                                                                          const ClapEventList*, ClapOutputList*);

void ClapInstanceUnderTest::Flush(const ClapEventList& events, ClapOutputList& sent)
{
    const auto* params = Ext<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    if (!params) return;
    // Active, a flush belongs to the audio thread; inactive, to the main thread.
    if (active)
        host.OnAudio([&] { params->flush(plugin, events.List(), sent.List()); });
    else
        params->flush(plugin, events.List(), sent.List());
}

double ClapInstanceUnderTest::Value(clap_id param) const
{
    const auto* params = Ext<clap_plugin_params_t>(CLAP_EXT_PARAMS);
    double value = -12345.0;
    if (!params || !params->get_value(plugin, param, &value)) return -12345.0;
    return value;
}

std::vector<uint8_t> ClapInstanceUnderTest::Save() const
{
    const auto* state = Ext<clap_plugin_state_t>(CLAP_EXT_STATE);
    ClapMemoryOut out;
    if (!state || !state->save(plugin, out.Stream())) return {};
    return out.bytes;
}

bool ClapInstanceUnderTest::Load(const ClapMemoryIn& stream) const
{
    const auto* state = Ext<clap_plugin_state_t>(CLAP_EXT_STATE);
    return state && state->load(plugin, stream.Stream());
}
