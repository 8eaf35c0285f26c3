// Record layouts and identifiers of formats/clap/ClapAbi.h against the published CLAP 1.2.10
// interface. The figures come from compiling the published headers with g++ (x86_64 Linux) and
// MinGW-w64 (i686 and x86_64 Windows); a host compiled as C reads these records at exactly
// these offsets, so any difference is a crash or garbage, not a style question.
//
// The Windows builds compile this file with CLAP_ABI_LAYOUT_ONLY: the 32-bit figures are only
// checked there.
#include <cstddef>

#include "formats/clap/ClapAbi.h"

namespace {

// 32-bit Windows aligns 8-byte members to 8 (unlike 32-bit Linux, whose figures differ and are
// not here); 64-bit Linux and Windows give the same figures.
#if defined(_WIN32) && !defined(_WIN64)
constexpr bool kHaveFigures = true;
#else
constexpr bool kHaveFigures = sizeof(void*) == 8;
#endif
static_assert(kHaveFigures, "CLAP layout figures exist for 64-bit targets and 32-bit Windows only");

constexpr std::size_t Pick(std::size_t on32, std::size_t on64) { return sizeof(void*) == 8 ? on64 : on32; }

}  // namespace

#define RECORD(type, size32, size64, align32, align64)                                      \
    static_assert(sizeof(type) == Pick(size32, size64), "size of " #type);                \
    static_assert(alignof(type) == Pick(align32, align64), "alignment of " #type)
#define FIELD(type, field, at32, at64) \
    static_assert(offsetof(type, field) == Pick(at32, at64), "offset of " #type "::" #field)

// Figures: 32-bit, then 64-bit.

RECORD(clap_version_t, 12, 12, 4, 4);
FIELD(clap_version_t, major, 0, 0);
FIELD(clap_version_t, minor, 4, 4);
FIELD(clap_version_t, revision, 8, 8);

RECORD(clap_istream_t, 8, 16, 4, 8);
FIELD(clap_istream_t, ctx, 0, 0);
FIELD(clap_istream_t, read, 4, 8);

RECORD(clap_ostream_t, 8, 16, 4, 8);
FIELD(clap_ostream_t, ctx, 0, 0);
FIELD(clap_ostream_t, write, 4, 8);

RECORD(clap_event_header_t, 16, 16, 4, 4);
FIELD(clap_event_header_t, size, 0, 0);
FIELD(clap_event_header_t, time, 4, 4);
FIELD(clap_event_header_t, space_id, 8, 8);
FIELD(clap_event_header_t, type, 10, 10);
FIELD(clap_event_header_t, flags, 12, 12);

RECORD(clap_event_param_value_t, 48, 56, 8, 8);
FIELD(clap_event_param_value_t, header, 0, 0);
FIELD(clap_event_param_value_t, param_id, 16, 16);
FIELD(clap_event_param_value_t, cookie, 20, 24);
FIELD(clap_event_param_value_t, note_id, 24, 32);
FIELD(clap_event_param_value_t, port_index, 28, 36);
FIELD(clap_event_param_value_t, channel, 30, 38);
FIELD(clap_event_param_value_t, key, 32, 40);
FIELD(clap_event_param_value_t, value, 40, 48);

RECORD(clap_event_param_gesture_t, 20, 20, 4, 4);
FIELD(clap_event_param_gesture_t, header, 0, 0);
FIELD(clap_event_param_gesture_t, param_id, 16, 16);

RECORD(clap_event_transport_t, 104, 104, 8, 8);
FIELD(clap_event_transport_t, header, 0, 0);
FIELD(clap_event_transport_t, flags, 16, 16);
FIELD(clap_event_transport_t, song_pos_beats, 24, 24);
FIELD(clap_event_transport_t, song_pos_seconds, 32, 32);
FIELD(clap_event_transport_t, tempo, 40, 40);
FIELD(clap_event_transport_t, tempo_inc, 48, 48);
FIELD(clap_event_transport_t, loop_start_beats, 56, 56);
FIELD(clap_event_transport_t, loop_end_beats, 64, 64);
FIELD(clap_event_transport_t, loop_start_seconds, 72, 72);
FIELD(clap_event_transport_t, loop_end_seconds, 80, 80);
FIELD(clap_event_transport_t, bar_start, 88, 88);
FIELD(clap_event_transport_t, bar_number, 96, 96);
FIELD(clap_event_transport_t, tsig_num, 100, 100);
FIELD(clap_event_transport_t, tsig_denom, 102, 102);

RECORD(clap_input_events_t, 12, 24, 4, 8);
FIELD(clap_input_events_t, ctx, 0, 0);
FIELD(clap_input_events_t, size, 4, 8);
FIELD(clap_input_events_t, get, 8, 16);

RECORD(clap_output_events_t, 8, 16, 4, 8);
FIELD(clap_output_events_t, ctx, 0, 0);
FIELD(clap_output_events_t, try_push, 4, 8);

RECORD(clap_audio_buffer_t, 24, 32, 8, 8);
FIELD(clap_audio_buffer_t, data32, 0, 0);
FIELD(clap_audio_buffer_t, data64, 4, 8);
FIELD(clap_audio_buffer_t, channel_count, 8, 16);
FIELD(clap_audio_buffer_t, latency, 12, 20);
FIELD(clap_audio_buffer_t, constant_mask, 16, 24);

RECORD(clap_process_t, 40, 64, 8, 8);
FIELD(clap_process_t, steady_time, 0, 0);
FIELD(clap_process_t, frames_count, 8, 8);
FIELD(clap_process_t, transport, 12, 16);
FIELD(clap_process_t, audio_inputs, 16, 24);
FIELD(clap_process_t, audio_outputs, 20, 32);
FIELD(clap_process_t, audio_inputs_count, 24, 40);
FIELD(clap_process_t, audio_outputs_count, 28, 44);
FIELD(clap_process_t, in_events, 32, 48);
FIELD(clap_process_t, out_events, 36, 56);

RECORD(clap_host_t, 48, 88, 4, 8);
FIELD(clap_host_t, clap_version, 0, 0);
FIELD(clap_host_t, host_data, 12, 16);
FIELD(clap_host_t, name, 16, 24);
FIELD(clap_host_t, vendor, 20, 32);
FIELD(clap_host_t, url, 24, 40);
FIELD(clap_host_t, version, 28, 48);
FIELD(clap_host_t, get_extension, 32, 56);
FIELD(clap_host_t, request_restart, 36, 64);
FIELD(clap_host_t, request_process, 40, 72);
FIELD(clap_host_t, request_callback, 44, 80);

RECORD(clap_plugin_descriptor_t, 48, 88, 4, 8);
FIELD(clap_plugin_descriptor_t, clap_version, 0, 0);
FIELD(clap_plugin_descriptor_t, id, 12, 16);
FIELD(clap_plugin_descriptor_t, name, 16, 24);
FIELD(clap_plugin_descriptor_t, vendor, 20, 32);
FIELD(clap_plugin_descriptor_t, url, 24, 40);
FIELD(clap_plugin_descriptor_t, manual_url, 28, 48);
FIELD(clap_plugin_descriptor_t, support_url, 32, 56);
FIELD(clap_plugin_descriptor_t, version, 36, 64);
FIELD(clap_plugin_descriptor_t, description, 40, 72);
FIELD(clap_plugin_descriptor_t, features, 44, 80);

RECORD(clap_plugin_t, 48, 96, 4, 8);
FIELD(clap_plugin_t, desc, 0, 0);
FIELD(clap_plugin_t, plugin_data, 4, 8);
FIELD(clap_plugin_t, init, 8, 16);
FIELD(clap_plugin_t, destroy, 12, 24);
FIELD(clap_plugin_t, activate, 16, 32);
FIELD(clap_plugin_t, deactivate, 20, 40);
FIELD(clap_plugin_t, start_processing, 24, 48);
FIELD(clap_plugin_t, stop_processing, 28, 56);
FIELD(clap_plugin_t, reset, 32, 64);
FIELD(clap_plugin_t, process, 36, 72);
FIELD(clap_plugin_t, get_extension, 40, 80);
FIELD(clap_plugin_t, on_main_thread, 44, 88);

RECORD(clap_plugin_factory_t, 12, 24, 4, 8);
FIELD(clap_plugin_factory_t, get_plugin_count, 0, 0);
FIELD(clap_plugin_factory_t, get_plugin_descriptor, 4, 8);
FIELD(clap_plugin_factory_t, create_plugin, 8, 16);

RECORD(clap_plugin_entry_t, 24, 40, 4, 8);
FIELD(clap_plugin_entry_t, clap_version, 0, 0);
FIELD(clap_plugin_entry_t, init, 12, 16);
FIELD(clap_plugin_entry_t, deinit, 16, 24);
FIELD(clap_plugin_entry_t, get_factory, 20, 32);

RECORD(clap_audio_port_info_t, 276, 288, 4, 8);
FIELD(clap_audio_port_info_t, id, 0, 0);
FIELD(clap_audio_port_info_t, name, 4, 4);
FIELD(clap_audio_port_info_t, flags, 260, 260);
FIELD(clap_audio_port_info_t, channel_count, 264, 264);
FIELD(clap_audio_port_info_t, port_type, 268, 272);
FIELD(clap_audio_port_info_t, in_place_pair, 272, 280);

RECORD(clap_plugin_audio_ports_t, 8, 16, 4, 8);
FIELD(clap_plugin_audio_ports_t, count, 0, 0);
FIELD(clap_plugin_audio_ports_t, get, 4, 8);

RECORD(clap_param_info_t, 1320, 1320, 8, 8);
FIELD(clap_param_info_t, id, 0, 0);
FIELD(clap_param_info_t, flags, 4, 4);
FIELD(clap_param_info_t, cookie, 8, 8);
FIELD(clap_param_info_t, name, 12, 16);
FIELD(clap_param_info_t, module, 268, 272);
FIELD(clap_param_info_t, min_value, 1296, 1296);
FIELD(clap_param_info_t, max_value, 1304, 1304);
FIELD(clap_param_info_t, default_value, 1312, 1312);

RECORD(clap_plugin_params_t, 24, 48, 4, 8);
FIELD(clap_plugin_params_t, count, 0, 0);
FIELD(clap_plugin_params_t, get_info, 4, 8);
FIELD(clap_plugin_params_t, get_value, 8, 16);
FIELD(clap_plugin_params_t, value_to_text, 12, 24);
FIELD(clap_plugin_params_t, text_to_value, 16, 32);
FIELD(clap_plugin_params_t, flush, 20, 40);

RECORD(clap_host_params_t, 12, 24, 4, 8);
FIELD(clap_host_params_t, rescan, 0, 0);
FIELD(clap_host_params_t, clear, 4, 8);
FIELD(clap_host_params_t, request_flush, 8, 16);

RECORD(clap_plugin_state_t, 8, 16, 4, 8);
FIELD(clap_plugin_state_t, save, 0, 0);
FIELD(clap_plugin_state_t, load, 4, 8);

RECORD(clap_host_state_t, 4, 8, 4, 8);
FIELD(clap_host_state_t, mark_dirty, 0, 0);

RECORD(clap_plugin_latency_t, 4, 8, 4, 8);
FIELD(clap_plugin_latency_t, get, 0, 0);

RECORD(clap_host_latency_t, 4, 8, 4, 8);
FIELD(clap_host_latency_t, changed, 0, 0);

RECORD(clap_window_t, 8, 16, 4, 8);
FIELD(clap_window_t, api, 0, 0);
FIELD(clap_window_t, cocoa, 4, 8);
FIELD(clap_window_t, uikit, 4, 8);
FIELD(clap_window_t, x11, 4, 8);
FIELD(clap_window_t, win32, 4, 8);
FIELD(clap_window_t, ptr, 4, 8);

RECORD(clap_gui_resize_hints_t, 12, 12, 4, 4);
FIELD(clap_gui_resize_hints_t, can_resize_horizontally, 0, 0);
FIELD(clap_gui_resize_hints_t, can_resize_vertically, 1, 1);
FIELD(clap_gui_resize_hints_t, preserve_aspect_ratio, 2, 2);
FIELD(clap_gui_resize_hints_t, aspect_ratio_width, 4, 4);
FIELD(clap_gui_resize_hints_t, aspect_ratio_height, 8, 8);

RECORD(clap_plugin_gui_t, 60, 120, 4, 8);
FIELD(clap_plugin_gui_t, is_api_supported, 0, 0);
FIELD(clap_plugin_gui_t, get_preferred_api, 4, 8);
FIELD(clap_plugin_gui_t, create, 8, 16);
FIELD(clap_plugin_gui_t, destroy, 12, 24);
FIELD(clap_plugin_gui_t, set_scale, 16, 32);
FIELD(clap_plugin_gui_t, get_size, 20, 40);
FIELD(clap_plugin_gui_t, can_resize, 24, 48);
FIELD(clap_plugin_gui_t, get_resize_hints, 28, 56);
FIELD(clap_plugin_gui_t, adjust_size, 32, 64);
FIELD(clap_plugin_gui_t, set_size, 36, 72);
FIELD(clap_plugin_gui_t, set_parent, 40, 80);
FIELD(clap_plugin_gui_t, set_transient, 44, 88);
FIELD(clap_plugin_gui_t, suggest_title, 48, 96);
FIELD(clap_plugin_gui_t, show, 52, 104);
FIELD(clap_plugin_gui_t, hide, 56, 112);

RECORD(clap_host_gui_t, 20, 40, 4, 8);
FIELD(clap_host_gui_t, resize_hints_changed, 0, 0);
FIELD(clap_host_gui_t, request_resize, 4, 8);
FIELD(clap_host_gui_t, request_show, 8, 16);
FIELD(clap_host_gui_t, request_hide, 12, 24);
FIELD(clap_host_gui_t, closed, 16, 32);

RECORD(clap_plugin_timer_support_t, 4, 8, 4, 8);
FIELD(clap_plugin_timer_support_t, on_timer, 0, 0);

RECORD(clap_host_timer_support_t, 8, 16, 4, 8);
FIELD(clap_host_timer_support_t, register_timer, 0, 0);
FIELD(clap_host_timer_support_t, unregister_timer, 4, 8);

RECORD(clap_plugin_posix_fd_support_t, 4, 8, 4, 8);
FIELD(clap_plugin_posix_fd_support_t, on_fd, 0, 0);

RECORD(clap_host_posix_fd_support_t, 12, 24, 4, 8);
FIELD(clap_host_posix_fd_support_t, register_fd, 0, 0);
FIELD(clap_host_posix_fd_support_t, modify_fd, 4, 8);
FIELD(clap_host_posix_fd_support_t, unregister_fd, 8, 16);

RECORD(clap_host_thread_check_t, 8, 16, 4, 8);
FIELD(clap_host_thread_check_t, is_main_thread, 0, 0);
FIELD(clap_host_thread_check_t, is_audio_thread, 4, 8);

RECORD(clap_host_log_t, 4, 8, 4, 8);
FIELD(clap_host_log_t, log, 0, 0);

#undef RECORD
#undef FIELD

#ifndef CLAP_ABI_LAYOUT_ONLY
#include <gtest/gtest.h>

// Hosts find the plug-in's parts by these exact strings; a typo fails silently (the extension is
// simply never asked for), so they are stated a second time here.
TEST(ClapAbi, IdentifiersAreThePublishedOnes)
{
    EXPECT_STREQ(CLAP_PLUGIN_FACTORY_ID, "clap.plugin-factory");
    EXPECT_STREQ(CLAP_EXT_AUDIO_PORTS, "clap.audio-ports");
    EXPECT_STREQ(CLAP_EXT_PARAMS, "clap.params");
    EXPECT_STREQ(CLAP_EXT_STATE, "clap.state");
    EXPECT_STREQ(CLAP_EXT_LATENCY, "clap.latency");
    EXPECT_STREQ(CLAP_EXT_GUI, "clap.gui");
    EXPECT_STREQ(CLAP_EXT_TIMER_SUPPORT, "clap.timer-support");
    EXPECT_STREQ(CLAP_EXT_POSIX_FD_SUPPORT, "clap.posix-fd-support");
    EXPECT_STREQ(CLAP_EXT_THREAD_CHECK, "clap.thread-check");
    EXPECT_STREQ(CLAP_EXT_LOG, "clap.log");
    EXPECT_STREQ(CLAP_WINDOW_API_WIN32, "win32");
    EXPECT_STREQ(CLAP_WINDOW_API_X11, "x11");
    EXPECT_STREQ(CLAP_PORT_STEREO, "stereo");
    EXPECT_STREQ(CLAP_PLUGIN_FEATURE_AUDIO_EFFECT, "audio-effect");
    EXPECT_STREQ(CLAP_PLUGIN_FEATURE_ANALYZER, "analyzer");
    EXPECT_STREQ(CLAP_PLUGIN_FEATURE_STEREO, "stereo");
}

// The numbers that travel in events, flags and return values.
TEST(ClapAbi, NumbersAreThePublishedOnes)
{
    EXPECT_EQ(CLAP_VERSION.major, 1u);
    EXPECT_EQ(CLAP_VERSION.minor, 2u);
    EXPECT_EQ(CLAP_VERSION.revision, 10u);
    EXPECT_EQ(CLAP_INVALID_ID, 0xFFFFFFFFu);
    EXPECT_EQ(CLAP_NAME_SIZE, 256u);
    EXPECT_EQ(CLAP_PATH_SIZE, 1024u);
    EXPECT_EQ(CLAP_CORE_EVENT_SPACE_ID, 0);
    EXPECT_EQ(CLAP_EVENT_PARAM_VALUE, 5);
    EXPECT_EQ(CLAP_EVENT_PARAM_GESTURE_BEGIN, 7);
    EXPECT_EQ(CLAP_EVENT_PARAM_GESTURE_END, 8);
    EXPECT_EQ(CLAP_EVENT_TRANSPORT, 9);
    EXPECT_EQ(CLAP_EVENT_IS_LIVE | CLAP_EVENT_DONT_RECORD, 3u);
    EXPECT_EQ(CLAP_PROCESS_ERROR, 0);
    EXPECT_EQ(CLAP_PROCESS_CONTINUE, 1);
    EXPECT_EQ(CLAP_PROCESS_SLEEP, 4);
    EXPECT_EQ(CLAP_AUDIO_PORT_IS_MAIN | CLAP_AUDIO_PORT_SUPPORTS_64BITS | CLAP_AUDIO_PORT_PREFERS_64BITS |
                  CLAP_AUDIO_PORT_REQUIRES_COMMON_SAMPLE_SIZE,
              0xFu);
    EXPECT_EQ(CLAP_PARAM_IS_STEPPED, 1u);
    EXPECT_EQ(CLAP_PARAM_IS_HIDDEN, 4u);
    EXPECT_EQ(CLAP_PARAM_IS_READONLY, 8u);
    EXPECT_EQ(CLAP_PARAM_IS_AUTOMATABLE, 32u);
    EXPECT_EQ(CLAP_PARAM_IS_ENUM, 0x10000u);
    EXPECT_EQ(CLAP_PARAM_RESCAN_VALUES | CLAP_PARAM_RESCAN_TEXT | CLAP_PARAM_RESCAN_INFO | CLAP_PARAM_RESCAN_ALL,
              0xFu);
    EXPECT_EQ(CLAP_POSIX_FD_READ | CLAP_POSIX_FD_WRITE | CLAP_POSIX_FD_ERROR, 7u);
    EXPECT_EQ(CLAP_TRANSPORT_IS_PLAYING, 16u);
    EXPECT_EQ(CLAP_BEATTIME_FACTOR, int64_t{2147483648});
}

TEST(ClapAbi, OnlyDraftVersionsAreIncompatible)
{
    EXPECT_TRUE(ClapVersionIsCompatible(CLAP_VERSION));
    EXPECT_TRUE(ClapVersionIsCompatible({1, 0, 0}));
    EXPECT_TRUE(ClapVersionIsCompatible({2, 0, 0}));
    EXPECT_FALSE(ClapVersionIsCompatible({0, 26, 0}));
}
#endif
