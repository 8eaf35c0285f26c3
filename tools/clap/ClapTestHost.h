// A CLAP host for the tests, the same natively and on Windows: it loads a .clap, offers the
// host extensions a DAW offers (thread-check, log, params, state, gui, timer-support and,
// when asked, posix-fd-support), runs
// the audio-thread calls on a thread of their own, and notes every breach of the format's
// thread rules, by the plug-in (calls into the host on the wrong thread) and by itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "formats/clap/ClapAbi.h"

// The library: loaded, clap_entry found and initialised; closed (deinit first) when it goes.
class ClapLibrary {
public:
    explicit ClapLibrary(const std::string& path);
    ~ClapLibrary();
    ClapLibrary(const ClapLibrary&) = delete;
    ClapLibrary& operator=(const ClapLibrary&) = delete;

    const clap_plugin_entry_t* Entry() const { return entry; }
    const clap_plugin_factory_t* Factory() const { return factory; }
    const std::string& Error() const { return error; }

private:
    void* module = nullptr;
    const clap_plugin_entry_t* entry = nullptr;
    const clap_plugin_factory_t* factory = nullptr;
    bool initialised = false;
    std::string error;
};

class ClapTestHost {
public:
    ClapTestHost();
    ~ClapTestHost();
    ClapTestHost(const ClapTestHost&) = delete;
    ClapTestHost& operator=(const ClapTestHost&) = delete;

    const clap_host_t* Record() const { return &record; }
    // Runs `work` on the audio thread (a thread of its own, joined before this returns).
    void OnAudio(const std::function<void()>& work);
    bool IsMainThread() const { return std::this_thread::get_id() == mainThread; }
    bool IsAudioThread() const;

    // What went wrong, in the order it happened; taken and cleared.
    std::vector<std::string> TakeProblems();
    void Problem(const std::string& what);
    // Messages the plug-in logged, severity and text.
    std::vector<std::pair<int, std::string>> logged;

    // Which extensions the host offers (changed before the plug-in's init).
    bool offerTimers = true;
    bool offerThreadCheck = true;
    bool offerGui = true;
    bool offerParams = true;
    bool offerFds = false;

    // What the plug-in asked of the host.
    std::atomic<int> flushRequests{0};
    std::atomic<int> rescans{0};
    std::atomic<int> dirtyMarks{0};
    uint32_t resizeWidth = 0, resizeHeight = 0;
    bool grantResize = true;
    std::map<clap_id, uint32_t> timers;  // id -> period
    clap_id nextTimer = 7;
    std::map<int, clap_posix_fd_flags_t> fds;  // watched for the plug-in

private:
    static const void* CLAP_CALL GetExtension(const clap_host_t* host, const char* id);
    static ClapTestHost* Of(const clap_host_t* host);

    clap_host_t record;
    std::thread::id mainThread;
    std::atomic<bool> audioRunning{false};
    std::thread::id audioThread;
    std::mutex problemsMutex;
    std::vector<std::string> problems;
};

// The host's input events of one block or flush.
class ClapEventList {
public:
    ClapEventList();
    void AddParamValue(clap_id param, double value, uint32_t time = 0);
    // Any event: a header of `type` in `space` and `size` bytes (at least a header's).
    void AddRaw(uint16_t space, uint16_t type, uint32_t size, uint32_t time = 0);
    void AddNull() { events.emplace_back(); }
    void Clear() { events.clear(); }
    const clap_input_events_t* List() const { return &list; }

private:
    std::vector<std::vector<uint8_t>> events;  // empty: a null the host hands out
    clap_input_events_t list;
};

// What the plug-in sends out, copied as a host copies it; takes at most `room` events.
struct ClapSentEvent {
    uint16_t type = 0;
    clap_id param = CLAP_INVALID_ID;
    double value = 0.0;
    uint32_t time = 0;
};

class ClapOutputList {
public:
    ClapOutputList();
    const clap_output_events_t* List() const { return &list; }
    std::vector<ClapSentEvent> sent;
    size_t room = SIZE_MAX;

private:
    clap_output_events_t list;
};

// One block of stereo audio as a host hands it to process(): one input and one output port,
// the events in and out. It points into itself, so it stays where it was made.
struct ClapStereoBlock {
    template <typename Sample>
    ClapStereoBlock(Sample** in, Sample** out, uint32_t frames, const clap_input_events_t* events,
                    const clap_output_events_t* sent)
    {
        if constexpr (sizeof(Sample) == 4) {
            input.data32 = in;
            output.data32 = out;
        } else {
            input.data64 = in;
            output.data64 = out;
        }
        input.channel_count = output.channel_count = 2;
        process.steady_time = -1;
        process.frames_count = frames;
        process.audio_inputs = &input;
        process.audio_outputs = &output;
        process.audio_inputs_count = process.audio_outputs_count = 1;
        process.in_events = events;
        process.out_events = sent;
    }
    ClapStereoBlock(const ClapStereoBlock&) = delete;
    ClapStereoBlock& operator=(const ClapStereoBlock&) = delete;

    clap_audio_buffer_t input = {};
    clap_audio_buffer_t output = {};
    clap_process_t process = {};
};

// The host's streams for the state: one into memory, one from memory that answers in pieces
// of `piece` bytes, or with an error once `failAt` bytes are read, or never ends.
class ClapMemoryOut {
public:
    ClapMemoryOut();
    const clap_ostream_t* Stream() const { return &stream; }
    std::vector<uint8_t> bytes;
    size_t piece = SIZE_MAX;  // most taken per write

private:
    clap_ostream_t stream;
};

class ClapMemoryIn {
public:
    explicit ClapMemoryIn(std::vector<uint8_t> bytes);
    const clap_istream_t* Stream() const { return &stream; }
    size_t piece = SIZE_MAX;            // most given per read
    size_t failAt = SIZE_MAX;           // a read at this offset or past it answers -1
    bool endless = false;               // after the bytes, zeros for ever
    bool overclaim = false;             // claims a byte more than it was asked for
    int zeroReadsBeforeEnd = 0;         // reads before the true end answering 0 (which ends it)
    size_t reads = 0;

private:
    std::vector<uint8_t> data;
    size_t at = 0;
    clap_istream_t stream;
};

// One instance: made, initialised and destroyed by the rules (destroy on the main thread,
// deactivated first).
class ClapInstanceUnderTest {
public:
    ClapInstanceUnderTest(const ClapLibrary& library, ClapTestHost& host);
    ~ClapInstanceUnderTest();
    ClapInstanceUnderTest(const ClapInstanceUnderTest&) = delete;
    ClapInstanceUnderTest& operator=(const ClapInstanceUnderTest&) = delete;

    bool Made() const { return plugin != nullptr; }
    // Destroys the instance now, deactivated first or (as a careless host does) not.
    void Destroy(bool deactivateFirst = true);
    const clap_plugin_t* Plugin() const { return plugin; }
    template <typename Extension>
    const Extension* Ext(const char* id) const
    {
        return plugin ? static_cast<const Extension*>(plugin->get_extension(plugin, id)) : nullptr;
    }

    bool Activate(double rate, uint32_t minFrames, uint32_t maxFrames);
    void Deactivate();
    // One block on the audio thread (start_processing first when needed).
    clap_process_status Process(clap_process_t& process);
    // Stereo blocks through the plug-in: in place or apart, 32 or 64 bits.
    template <typename Sample>
    clap_process_status ProcessStereo(std::vector<Sample> (&in)[2], std::vector<Sample> (&out)[2], uint32_t frames,
                                      bool inPlace, const ClapEventList* events = nullptr,
                                      ClapOutputList* sent = nullptr);
    void Flush(const ClapEventList& events, ClapOutputList& sent);
    double Value(clap_id param) const;
    std::vector<uint8_t> Save() const;
    bool Load(const ClapMemoryIn& stream) const;

    ClapTestHost& host;

private:
    const clap_plugin_t* plugin = nullptr;
    bool active = false;
    bool processing = false;
};
