// The CLAP binary interface as hosts expect it, pinned to CLAP 1.2.10 (the newest 1.x release).
// Written from the format's published facts (records, field order, identifiers, numbers); only
// what an audio effect with an embedded editor uses. tests/formats/clap/ClapAbiLayoutTest.cpp
// pins every record's size and field offsets for 32- and 64-bit builds.
//
// Every record is a plain C struct with natural alignment. Hosts compiled as C read them, so no
// member may be added, reordered or given a default member initialiser that changes the layout.
#pragma once

#include <cstddef>
#include <cstdint>

// Every function in the interface uses the C calling convention. 32-bit Windows compilers can be
// told to default to another one, so it is spelt out there (64-bit Windows has only one).
#if defined(_WIN32) || defined(__CYGWIN__)
#define CLAP_CALL __cdecl
#else
#define CLAP_CALL
#endif

// ---------------------------------------------------------------------------------------------
// Basics

// Identifies parameters, ports and timers; all ones means "none".
typedef uint32_t clap_id;
inline constexpr clap_id CLAP_INVALID_ID = UINT32_MAX;

// Capacities of the fixed text fields, terminating zero included.
inline constexpr uint32_t CLAP_NAME_SIZE = 256;  // names shown to the user
inline constexpr uint32_t CLAP_PATH_SIZE = 1024;  // slash-separated groupings such as a parameter's module

struct clap_version {
    uint32_t major;  // 0 was the unstable draft series; 1 and above keep this interface
    uint32_t minor;
    uint32_t revision;
};
typedef clap_version clap_version_t;

// The version this declaration follows; it goes into the entry and the plug-in descriptor.
inline constexpr clap_version_t CLAP_VERSION = {1, 2, 10};

// Any 1.x host or plug-in speaks this interface; 0.x ones do not.
constexpr bool ClapVersionIsCompatible(const clap_version_t& version) { return version.major >= 1; }

// Musical and clock positions in transport records are fixed point: value * 2^31.
typedef int64_t clap_beattime;
typedef int64_t clap_sectime;
inline constexpr int64_t CLAP_BEATTIME_FACTOR = int64_t{1} << 31;
inline constexpr int64_t CLAP_SECTIME_FACTOR = int64_t{1} << 31;

// ---------------------------------------------------------------------------------------------
// Byte streams the host hands over for saving and loading state. Either call may move fewer
// bytes than asked for, so callers loop.

struct clap_istream {
    void* ctx;  // the host's
    // Bytes read; 0 at the end, -1 on error.
    int64_t(CLAP_CALL* read)(const clap_istream* stream, void* buffer, uint64_t size);
};
typedef clap_istream clap_istream_t;

struct clap_ostream {
    void* ctx;  // the host's
    // Bytes written; -1 on error.
    int64_t(CLAP_CALL* write)(const clap_ostream* stream, const void* buffer, uint64_t size);
};
typedef clap_ostream clap_ostream_t;

// ---------------------------------------------------------------------------------------------
// Events. Each starts with a header whose size covers the whole event, so unknown kinds can be
// stepped over; only space CLAP_CORE_EVENT_SPACE_ID holds the kinds below.

struct clap_event_header {
    uint32_t size;  // bytes of the whole event, header included
    uint32_t time;  // frame within the block
    uint16_t space_id;
    uint16_t type;
    uint32_t flags;  // CLAP_EVENT_IS_LIVE, CLAP_EVENT_DONT_RECORD
};
typedef clap_event_header clap_event_header_t;

inline constexpr uint16_t CLAP_CORE_EVENT_SPACE_ID = 0;

enum : uint32_t {
    CLAP_EVENT_IS_LIVE = 1u << 0,  // a person is turning a control right now
    CLAP_EVENT_DONT_RECORD = 1u << 1,  // the host should not record this as automation
};

// Event kinds of the core space (clap_event_header::type).
enum : uint16_t {
    CLAP_EVENT_NOTE_ON = 0,
    CLAP_EVENT_NOTE_OFF = 1,
    CLAP_EVENT_NOTE_CHOKE = 2,
    CLAP_EVENT_NOTE_END = 3,
    CLAP_EVENT_NOTE_EXPRESSION = 4,
    CLAP_EVENT_PARAM_VALUE = 5,  // clap_event_param_value_t
    CLAP_EVENT_PARAM_MOD = 6,
    CLAP_EVENT_PARAM_GESTURE_BEGIN = 7,  // clap_event_param_gesture_t
    CLAP_EVENT_PARAM_GESTURE_END = 8,  // clap_event_param_gesture_t
    CLAP_EVENT_TRANSPORT = 9,  // clap_event_transport_t
    CLAP_EVENT_MIDI = 10,
    CLAP_EVENT_MIDI_SYSEX = 11,
    CLAP_EVENT_MIDI2 = 12,
};

// A parameter's new plain value, from the host (automation) or to it (editor edits).
struct clap_event_param_value {
    clap_event_header_t header;
    clap_id param_id;
    void* cookie;  // what the plug-in put in clap_param_info::cookie, or null
    // Voice address for polyphonic targets; -1 everywhere means the whole plug-in.
    int32_t note_id;
    int16_t port_index;
    int16_t channel;
    int16_t key;
    double value;
};
typedef clap_event_param_value clap_event_param_value_t;

// Brackets a person's edit of one parameter so the host can record it as one gesture.
struct clap_event_param_gesture {
    clap_event_header_t header;
    clap_id param_id;
};
typedef clap_event_param_gesture clap_event_param_gesture_t;

// clap_event_transport::flags: which fields hold something, and the play state.
enum : uint32_t {
    CLAP_TRANSPORT_HAS_TEMPO = 1u << 0,
    CLAP_TRANSPORT_HAS_BEATS_TIMELINE = 1u << 1,
    CLAP_TRANSPORT_HAS_SECONDS_TIMELINE = 1u << 2,
    CLAP_TRANSPORT_HAS_TIME_SIGNATURE = 1u << 3,
    CLAP_TRANSPORT_IS_PLAYING = 1u << 4,
    CLAP_TRANSPORT_IS_RECORDING = 1u << 5,
    CLAP_TRANSPORT_IS_LOOP_ACTIVE = 1u << 6,
    CLAP_TRANSPORT_IS_WITHIN_PRE_ROLL = 1u << 7,
};

// The song position at the start of a block (clap_process::transport) or a change within it.
struct clap_event_transport {
    clap_event_header_t header;
    uint32_t flags;
    clap_beattime song_pos_beats;
    clap_sectime song_pos_seconds;
    double tempo;  // beats per minute
    double tempo_inc;  // change of tempo per frame until the next transport event
    clap_beattime loop_start_beats;
    clap_beattime loop_end_beats;
    clap_sectime loop_start_seconds;
    clap_sectime loop_end_seconds;
    clap_beattime bar_start;
    int32_t bar_number;  // the bar at song position 0 is bar 0
    uint16_t tsig_num;
    uint16_t tsig_denom;
};
typedef clap_event_transport clap_event_transport_t;

// Events for the plug-in, sorted by time; valid until the call that passed them returns.
struct clap_input_events {
    void* ctx;  // the host's
    uint32_t(CLAP_CALL* size)(const clap_input_events* list);
    const clap_event_header_t*(CLAP_CALL* get)(const clap_input_events* list, uint32_t index);
};
typedef clap_input_events clap_input_events_t;

// Where the plug-in sends events, in time order; the host copies each one. False: not taken.
struct clap_output_events {
    void* ctx;  // the host's
    bool(CLAP_CALL* try_push)(const clap_output_events* list, const clap_event_header_t* event);
};
typedef clap_output_events clap_output_events_t;

// ---------------------------------------------------------------------------------------------
// Processing

// One port's channels for one block. Exactly one of data32 and data64 is set.
struct clap_audio_buffer {
    float** data32;
    double** data64;
    uint32_t channel_count;
    uint32_t latency;  // frames between this port and the audio interface
    // Bit c set: every frame of channel c holds the value of its first frame (a hint; the
    // samples are still all there).
    uint64_t constant_mask;
};
typedef clap_audio_buffer clap_audio_buffer_t;

// What clap_plugin::process returns.
typedef int32_t clap_process_status;
enum : clap_process_status {
    CLAP_PROCESS_ERROR = 0,  // the outputs are garbage
    CLAP_PROCESS_CONTINUE = 1,
    CLAP_PROCESS_CONTINUE_IF_NOT_QUIET = 2,
    CLAP_PROCESS_TAIL = 3,  // ask the tail extension
    CLAP_PROCESS_SLEEP = 4,  // nothing to do until input or events arrive
};

// One block of work. Buffers follow the order of the audio-ports extension's ports.
struct clap_process {
    int64_t steady_time;  // frames since some start, -1 if the host has no such counter
    uint32_t frames_count;
    const clap_event_transport_t* transport;  // null when the host has no transport
    const clap_audio_buffer_t* audio_inputs;
    clap_audio_buffer_t* audio_outputs;
    uint32_t audio_inputs_count;
    uint32_t audio_outputs_count;
    const clap_input_events_t* in_events;
    const clap_output_events_t* out_events;
};
typedef clap_process clap_process_t;

// ---------------------------------------------------------------------------------------------
// Host, plug-in, factory, entry

// The host as a plug-in instance sees it; valid from creation until after destroy.
struct clap_host {
    clap_version_t clap_version;
    void* host_data;  // the host's
    const char* name;
    const char* vendor;
    const char* url;
    const char* version;
    // Null when the host lacks the extension. Not before clap_plugin::init.
    const void*(CLAP_CALL* get_extension)(const clap_host* host, const char* extension_id);
    // Deactivate and activate again, some time later. Any thread.
    void(CLAP_CALL* request_restart)(const clap_host* host);
    // Activate and start processing. Any thread.
    void(CLAP_CALL* request_process)(const clap_host* host);
    // Call clap_plugin::on_main_thread soon. Any thread.
    void(CLAP_CALL* request_callback)(const clap_host* host);
};
typedef clap_host clap_host_t;

// What a host shows and sorts by before it creates an instance. id and name are required;
// features is a null-terminated list of CLAP_PLUGIN_FEATURE_ words.
struct clap_plugin_descriptor {
    clap_version_t clap_version;
    const char* id;  // reverse-domain, stable forever: projects refer to it
    const char* name;
    const char* vendor;
    const char* url;
    const char* manual_url;
    const char* support_url;
    const char* version;
    const char* description;
    const char* const* features;
};
typedef clap_plugin_descriptor clap_plugin_descriptor_t;

// One plug-in instance. Thread rules in brackets: main = the host's main thread, audio = the
// thread that currently processes.
struct clap_plugin {
    const clap_plugin_descriptor_t* desc;
    void* plugin_data;  // the plug-in's
    // [main] First call after creation; the host's extensions are usable from here on.
    bool(CLAP_CALL* init)(const clap_plugin* plugin);
    // [main, inactive]
    void(CLAP_CALL* destroy)(const clap_plugin* plugin);
    // [main, inactive] Sample rate and block-size bounds stay fixed until deactivate.
    bool(CLAP_CALL* activate)(const clap_plugin* plugin, double sample_rate, uint32_t min_frames_count,
                              uint32_t max_frames_count);
    // [main, active]
    void(CLAP_CALL* deactivate)(const clap_plugin* plugin);
    // [audio, active]
    bool(CLAP_CALL* start_processing)(const clap_plugin* plugin);
    void(CLAP_CALL* stop_processing)(const clap_plugin* plugin);
    // [audio, active] Forget all signal history; parameter values stay.
    void(CLAP_CALL* reset)(const clap_plugin* plugin);
    // [audio, processing]
    clap_process_status(CLAP_CALL* process)(const clap_plugin* plugin, const clap_process_t* process);
    // [any thread] Null for an extension the plug-in lacks.
    const void*(CLAP_CALL* get_extension)(const clap_plugin* plugin, const char* id);
    // [main] The answer to clap_host::request_callback.
    void(CLAP_CALL* on_main_thread)(const clap_plugin* plugin);
};
typedef clap_plugin clap_plugin_t;

// Lists and creates the plug-ins of a library. Any thread, concurrently.
inline constexpr char CLAP_PLUGIN_FACTORY_ID[] = "clap.plugin-factory";

struct clap_plugin_factory {
    uint32_t(CLAP_CALL* get_plugin_count)(const clap_plugin_factory* factory);
    // Null for a bad index; the descriptor lives until the entry's deinit.
    const clap_plugin_descriptor_t*(CLAP_CALL* get_plugin_descriptor)(const clap_plugin_factory* factory,
                                                                       uint32_t index);
    // Null for an unknown id. The instance must not call the host before its init.
    const clap_plugin_t*(CLAP_CALL* create_plugin)(const clap_plugin_factory* factory, const clap_host_t* host,
                                                    const char* plugin_id);
};
typedef clap_plugin_factory clap_plugin_factory_t;

// The record a library exports as the data symbol `clap_entry` (exporting it is the library's
// business). init may be called again after deinit, and a careless host may call either twice.
struct clap_plugin_entry {
    clap_version_t clap_version;
    bool(CLAP_CALL* init)(const char* plugin_path);  // path of the library file or bundle
    void(CLAP_CALL* deinit)(void);
    // Null for an unknown factory id. Any thread.
    const void*(CLAP_CALL* get_factory)(const char* factory_id);
};
typedef clap_plugin_entry clap_plugin_entry_t;

// Descriptor feature words (spelling is part of the interface: hosts match them exactly).
inline constexpr char CLAP_PLUGIN_FEATURE_INSTRUMENT[] = "instrument";
inline constexpr char CLAP_PLUGIN_FEATURE_AUDIO_EFFECT[] = "audio-effect";
inline constexpr char CLAP_PLUGIN_FEATURE_NOTE_EFFECT[] = "note-effect";
inline constexpr char CLAP_PLUGIN_FEATURE_ANALYZER[] = "analyzer";
inline constexpr char CLAP_PLUGIN_FEATURE_UTILITY[] = "utility";
inline constexpr char CLAP_PLUGIN_FEATURE_MIXING[] = "mixing";
inline constexpr char CLAP_PLUGIN_FEATURE_MASTERING[] = "mastering";
inline constexpr char CLAP_PLUGIN_FEATURE_MONO[] = "mono";
inline constexpr char CLAP_PLUGIN_FEATURE_STEREO[] = "stereo";
inline constexpr char CLAP_PLUGIN_FEATURE_SURROUND[] = "surround";

// ---------------------------------------------------------------------------------------------
// Extensions, asked for by these ids through get_extension. None of the ones below has a draft
// or compatibility id in 1.2.10; those of later or draft extensions carry a "/n" version suffix.

// Audio ports. Asked for while inactive; the first input and output are the main ones.
inline constexpr char CLAP_EXT_AUDIO_PORTS[] = "clap.audio-ports";
inline constexpr char CLAP_PORT_MONO[] = "mono";
inline constexpr char CLAP_PORT_STEREO[] = "stereo";

enum : uint32_t {
    CLAP_AUDIO_PORT_IS_MAIN = 1u << 0,  // at most one per direction, at index 0
    CLAP_AUDIO_PORT_SUPPORTS_64BITS = 1u << 1,
    CLAP_AUDIO_PORT_PREFERS_64BITS = 1u << 2,
    // All ports with this flag get the same sample size, 32 or 64 bits.
    CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE = 1u << 3,
};

struct clap_audio_port_info {
    clap_id id;  // stable; inputs and outputs may share ids
    char name[CLAP_NAME_SIZE];
    uint32_t flags;
    uint32_t channel_count;
    const char* port_type;  // CLAP_PORT_MONO, CLAP_PORT_STEREO, or null for anything else
    clap_id in_place_pair;  // the port of the other direction that may share buffers, or CLAP_INVALID_ID
};
typedef clap_audio_port_info clap_audio_port_info_t;

struct clap_plugin_audio_ports {
    // [main]
    uint32_t(CLAP_CALL* count)(const clap_plugin_t* plugin, bool is_input);
    // [main] Fills info; false for a bad index.
    bool(CLAP_CALL* get)(const clap_plugin_t* plugin, uint32_t index, bool is_input, clap_audio_port_info_t* info);
};
typedef clap_plugin_audio_ports clap_plugin_audio_ports_t;

// Parameters. Values are plain (in the parameter's own unit), between min_value and max_value.
inline constexpr char CLAP_EXT_PARAMS[] = "clap.params";

typedef uint32_t clap_param_info_flags;
enum : clap_param_info_flags {
    CLAP_PARAM_IS_STEPPED = 1u << 0,  // whole numbers only
    CLAP_PARAM_IS_PERIODIC = 1u << 1,
    CLAP_PARAM_IS_HIDDEN = 1u << 2,
    CLAP_PARAM_IS_READONLY = 1u << 3,
    CLAP_PARAM_IS_BYPASS = 1u << 4,
    CLAP_PARAM_IS_AUTOMATABLE = 1u << 5,
    CLAP_PARAM_IS_AUTOMATABLE_PER_NOTE_ID = 1u << 6,
    CLAP_PARAM_IS_AUTOMATABLE_PER_KEY = 1u << 7,
    CLAP_PARAM_IS_AUTOMATABLE_PER_CHANNEL = 1u << 8,
    CLAP_PARAM_IS_AUTOMATABLE_PER_PORT = 1u << 9,
    CLAP_PARAM_IS_MODULATABLE = 1u << 10,
    CLAP_PARAM_IS_MODULATABLE_PER_NOTE_ID = 1u << 11,
    CLAP_PARAM_IS_MODULATABLE_PER_KEY = 1u << 12,
    CLAP_PARAM_IS_MODULATABLE_PER_CHANNEL = 1u << 13,
    CLAP_PARAM_IS_MODULATABLE_PER_PORT = 1u << 14,
    CLAP_PARAM_REQUIRES_PROCESS = 1u << 15,  // changes the output, so while active it goes through process
    CLAP_PARAM_IS_ENUM = 1u << 16,  // stepped, and each step has a name
};

struct clap_param_info {
    clap_id id;  // stable across versions: automation and projects refer to it
    clap_param_info_flags flags;
    void* cookie;  // handed back in events for this parameter; may come back as null
    char name[CLAP_NAME_SIZE];
    char module[CLAP_PATH_SIZE];  // group path such as "Display/Freq", or empty
    double min_value;
    double max_value;
    double default_value;
};
typedef clap_param_info clap_param_info_t;

struct clap_plugin_params {
    // [main]
    uint32_t(CLAP_CALL* count)(const clap_plugin_t* plugin);
    // [main] By index 0..count-1.
    bool(CLAP_CALL* get_info)(const clap_plugin_t* plugin, uint32_t param_index, clap_param_info_t* param_info);
    // [main]
    bool(CLAP_CALL* get_value)(const clap_plugin_t* plugin, clap_id param_id, double* out_value);
    // [main] Zero-terminated text within out_buffer_capacity bytes.
    bool(CLAP_CALL* value_to_text)(const clap_plugin_t* plugin, clap_id param_id, double value, char* out_buffer,
                                   uint32_t out_buffer_capacity);
    // [main]
    bool(CLAP_CALL* text_to_value)(const clap_plugin_t* plugin, clap_id param_id, const char* param_value_text,
                                   double* out_value);
    // [audio while active, else main; never during process] Parameter events in and out
    // without audio.
    void(CLAP_CALL* flush)(const clap_plugin_t* plugin, const clap_input_events_t* in,
                           const clap_output_events_t* out);
};
typedef clap_plugin_params clap_plugin_params_t;

// What changed, for clap_host_params::rescan.
typedef uint32_t clap_param_rescan_flags;
enum : clap_param_rescan_flags {
    CLAP_PARAM_RESCAN_VALUES = 1u << 0,
    CLAP_PARAM_RESCAN_TEXT = 1u << 1,
    CLAP_PARAM_RESCAN_INFO = 1u << 2,  // names, modules, the periodic and hidden flags
    CLAP_PARAM_RESCAN_ALL = 1u << 3,  // the list, ranges, other flags, cookies; only while inactive
};

typedef uint32_t clap_param_clear_flags;
enum : clap_param_clear_flags {
    CLAP_PARAM_CLEAR_ALL = 1u << 0,
    CLAP_PARAM_CLEAR_AUTOMATIONS = 1u << 1,
    CLAP_PARAM_CLEAR_MODULATIONS = 1u << 2,
};

struct clap_host_params {
    // [main]
    void(CLAP_CALL* rescan)(const clap_host_t* host, clap_param_rescan_flags flags);
    // [main] Drop automation or modulation the host holds for a parameter.
    void(CLAP_CALL* clear)(const clap_host_t* host, clap_id param_id, clap_param_clear_flags flags);
    // [any thread but audio] Ask for a flush (or process) so the plug-in can send its edits.
    void(CLAP_CALL* request_flush)(const clap_host_t* host);
};
typedef clap_host_params clap_host_params_t;

// State: the plug-in's settings as bytes in the host's project.
inline constexpr char CLAP_EXT_STATE[] = "clap.state";

struct clap_plugin_state {
    // [main]
    bool(CLAP_CALL* save)(const clap_plugin_t* plugin, const clap_ostream_t* stream);
    // [main]
    bool(CLAP_CALL* load)(const clap_plugin_t* plugin, const clap_istream_t* stream);
};
typedef clap_plugin_state clap_plugin_state_t;

struct clap_host_state {
    // [main] Settings changed outside the parameters; the project needs saving.
    void(CLAP_CALL* mark_dirty)(const clap_host_t* host);
};
typedef clap_host_state clap_host_state_t;

// Latency in frames, reported to the host for delay compensation.
inline constexpr char CLAP_EXT_LATENCY[] = "clap.latency";

struct clap_plugin_latency {
    // [main, while activated or being activated]
    uint32_t(CLAP_CALL* get)(const clap_plugin_t* plugin);
};
typedef clap_plugin_latency clap_plugin_latency_t;

struct clap_host_latency {
    // [main, during activate] The value from get has changed.
    void(CLAP_CALL* changed)(const clap_host_t* host);
};
typedef clap_host_latency clap_host_latency_t;

// Editor. Sizes are pixels: physical for win32 and x11, logical for cocoa and uikit.
// Host order for an embedded editor: is_api_supported, create, set_scale, can_resize,
// get_size or set_size, set_parent, show; hide/show; destroy.
inline constexpr char CLAP_EXT_GUI[] = "clap.gui";

inline constexpr char CLAP_WINDOW_API_WIN32[] = "win32";  // embed with SetParent
inline constexpr char CLAP_WINDOW_API_COCOA[] = "cocoa";
inline constexpr char CLAP_WINDOW_API_UIKIT[] = "uikit";
inline constexpr char CLAP_WINDOW_API_X11[] = "x11";  // embed the XEmbed way
inline constexpr char CLAP_WINDOW_API_WAYLAND[] = "wayland";  // floating windows only

typedef void* clap_hwnd;
typedef void* clap_nsview;
typedef void* clap_uiview;
typedef unsigned long clap_xwnd;  // an X11 Window

// A native window handle; api tells which member holds it.
struct clap_window {
    const char* api;
    union {
        clap_nsview cocoa;
        clap_uiview uikit;
        clap_xwnd x11;
        clap_hwnd win32;
        void* ptr;
    };
};
typedef clap_window clap_window_t;

struct clap_gui_resize_hints {
    bool can_resize_horizontally;
    bool can_resize_vertically;
    bool preserve_aspect_ratio;  // then keep width:height = aspect_ratio_width:aspect_ratio_height
    uint32_t aspect_ratio_width;
    uint32_t aspect_ratio_height;
};
typedef clap_gui_resize_hints clap_gui_resize_hints_t;

// Every call on the main thread.
struct clap_plugin_gui {
    bool(CLAP_CALL* is_api_supported)(const clap_plugin_t* plugin, const char* api, bool is_floating);
    // Sets *api to one of the CLAP_WINDOW_API_ arrays themselves (not a copy).
    bool(CLAP_CALL* get_preferred_api)(const clap_plugin_t* plugin, const char** api, bool* is_floating);
    // Makes the editor (not yet shown); embedded ones then get set_parent.
    bool(CLAP_CALL* create)(const clap_plugin_t* plugin, const char* api, bool is_floating);
    void(CLAP_CALL* destroy)(const clap_plugin_t* plugin);
    // 2 = 200 %. False when the plug-in follows the system's own scale instead.
    bool(CLAP_CALL* set_scale)(const clap_plugin_t* plugin, double scale);
    bool(CLAP_CALL* get_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
    // The rest up to set_parent are for embedded editors.
    bool(CLAP_CALL* can_resize)(const clap_plugin_t* plugin);
    bool(CLAP_CALL* get_resize_hints)(const clap_plugin_t* plugin, clap_gui_resize_hints_t* hints);
    // Rounds a proposed size to the nearest usable one, without resizing.
    bool(CLAP_CALL* adjust_size)(const clap_plugin_t* plugin, uint32_t* width, uint32_t* height);
    bool(CLAP_CALL* set_size)(const clap_plugin_t* plugin, uint32_t width, uint32_t height);
    bool(CLAP_CALL* set_parent)(const clap_plugin_t* plugin, const clap_window_t* window);
    // Floating editors only.
    bool(CLAP_CALL* set_transient)(const clap_plugin_t* plugin, const clap_window_t* window);
    void(CLAP_CALL* suggest_title)(const clap_plugin_t* plugin, const char* title);
    bool(CLAP_CALL* show)(const clap_plugin_t* plugin);
    // Hidden, not destroyed: a good moment to stop redrawing.
    bool(CLAP_CALL* hide)(const clap_plugin_t* plugin);
};
typedef clap_plugin_gui clap_plugin_gui_t;

// Any thread.
struct clap_host_gui {
    void(CLAP_CALL* resize_hints_changed)(const clap_host_t* host);
    // True: the host resizes its frame and will not call set_size for it.
    bool(CLAP_CALL* request_resize)(const clap_host_t* host, uint32_t width, uint32_t height);
    bool(CLAP_CALL* request_show)(const clap_host_t* host);
    bool(CLAP_CALL* request_hide)(const clap_host_t* host);
    // A floating editor was closed or lost; when was_destroyed the host then calls destroy.
    void(CLAP_CALL* closed)(const clap_host_t* host, bool was_destroyed);
};
typedef clap_host_gui clap_host_gui_t;

// Timers run by the host's main loop: the editor's redraw clock where the host owns the loop.
inline constexpr char CLAP_EXT_TIMER_SUPPORT[] = "clap.timer-support";

struct clap_plugin_timer_support {
    // [main]
    void(CLAP_CALL* on_timer)(const clap_plugin_t* plugin, clap_id timer_id);
};
typedef clap_plugin_timer_support clap_plugin_timer_support_t;

struct clap_host_timer_support {
    // [main] The host may lengthen short periods; 30 Hz is meant to be allowed.
    bool(CLAP_CALL* register_timer)(const clap_host_t* host, uint32_t period_ms, clap_id* timer_id);
    // [main]
    bool(CLAP_CALL* unregister_timer)(const clap_host_t* host, clap_id timer_id);
};
typedef clap_host_timer_support clap_host_timer_support_t;

// File descriptors watched by the host's main loop (on Linux: the editor's X connection).
inline constexpr char CLAP_EXT_POSIX_FD_SUPPORT[] = "clap.posix-fd-support";

typedef uint32_t clap_posix_fd_flags_t;
enum : clap_posix_fd_flags_t {
    CLAP_POSIX_FD_READ = 1u << 0,
    CLAP_POSIX_FD_WRITE = 1u << 1,
    CLAP_POSIX_FD_ERROR = 1u << 2,
};

struct clap_plugin_posix_fd_support {
    // [main] Level-triggered: called for as long as the condition holds.
    void(CLAP_CALL* on_fd)(const clap_plugin_t* plugin, int fd, clap_posix_fd_flags_t flags);
};
typedef clap_plugin_posix_fd_support clap_plugin_posix_fd_support_t;

struct clap_host_posix_fd_support {
    // [main]
    bool(CLAP_CALL* register_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
    bool(CLAP_CALL* modify_fd)(const clap_host_t* host, int fd, clap_posix_fd_flags_t flags);
    bool(CLAP_CALL* unregister_fd)(const clap_host_t* host, int fd);
};
typedef clap_host_posix_fd_support clap_host_posix_fd_support_t;

// Which of the host's threads the caller is on.
inline constexpr char CLAP_EXT_THREAD_CHECK[] = "clap.thread-check";

struct clap_host_thread_check {
    // [any thread]
    bool(CLAP_CALL* is_main_thread)(const clap_host_t* host);
    bool(CLAP_CALL* is_audio_thread)(const clap_host_t* host);
};
typedef clap_host_thread_check clap_host_thread_check_t;

// Messages into the host's log.
inline constexpr char CLAP_EXT_LOG[] = "clap.log";

typedef int32_t clap_log_severity;
enum : clap_log_severity {
    CLAP_LOG_DEBUG = 0,
    CLAP_LOG_INFO = 1,
    CLAP_LOG_WARNING = 2,
    CLAP_LOG_ERROR = 3,
    CLAP_LOG_FATAL = 4,
    CLAP_LOG_HOST_MISBEHAVING = 5,  // report a host that broke the rules
    CLAP_LOG_PLUGIN_MISBEHAVING = 6,
};

struct clap_host_log {
    // [any thread]
    void(CLAP_CALL* log)(const clap_host_t* host, clap_log_severity severity, const char* msg);
};
typedef clap_host_log clap_host_log_t;
