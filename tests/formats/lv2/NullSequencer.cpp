// An ALSA sequencer that is always there and always quiet, preloaded into a host that will
// not start without one (Qtractor) on machines whose kernel has none (containers). Every
// sequencer call the host makes on a handle lands here: clients and ports are made and
// forgotten, nothing is ever received, everything sent is dropped. Only the audio side of
// the host is under test, so no MIDI has to flow.
#include <cerrno>
#include <poll.h>
#include <unistd.h>

namespace {

struct NullSequencer {
    int wakeup[2];  // never written: a descriptor to poll that never becomes readable
    int client;
    int next_port;
    int next_queue;
};

int g_next_client = 128;

NullSequencer* Of(void* handle) { return static_cast<NullSequencer*>(handle); }

}  // namespace

extern "C" {

int snd_seq_open(void** handle, const char*, int, int) {
    if (!handle) return -EINVAL;
    auto* seq = new NullSequencer{{-1, -1}, g_next_client++, 0, 0};
    if (pipe(seq->wakeup) != 0) {
        delete seq;
        return -errno;
    }
    *handle = seq;
    return 0;
}

int snd_seq_close(void* handle) {
    if (NullSequencer* seq = Of(handle)) {
        close(seq->wakeup[0]);
        close(seq->wakeup[1]);
        delete seq;
    }
    return 0;
}

int snd_seq_client_id(void* handle) {
    return handle ? Of(handle)->client : -EINVAL;
}

int snd_seq_alloc_queue(void* handle) {
    return handle ? Of(handle)->next_queue++ : -EINVAL;
}

int snd_seq_create_simple_port(void* handle, const char*, unsigned, unsigned) {
    return handle ? Of(handle)->next_port++ : -EINVAL;
}

int snd_seq_poll_descriptors_count(void*, short) { return 1; }

int snd_seq_poll_descriptors(void* handle, pollfd* fds, unsigned space, short events) {
    if (!handle || !fds || space < 1) return 0;
    fds[0].fd = Of(handle)->wakeup[0];
    fds[0].events = events;
    fds[0].revents = 0;
    return 1;
}

int snd_seq_event_input(void*, void** event) {
    if (event) *event = nullptr;
    return -EAGAIN;
}

// Enumerations find no other client and no port.
int snd_seq_query_next_client(void*, void*) { return -ENOENT; }
int snd_seq_query_next_port(void*, void*) { return -ENOENT; }
int snd_seq_query_port_subscribers(void*, void*) { return -ENOENT; }
int snd_seq_get_any_client_info(void*, int, void*) { return -ENOENT; }
int snd_seq_get_any_port_info(void*, int, int, void*) { return -ENOENT; }

// The rest succeed and do nothing; the info a caller asks for stays as it allocated it.
int snd_seq_event_input_pending(void*, int) { return 0; }
int snd_seq_event_output(void*, void*) { return 0; }
int snd_seq_event_output_direct(void*, void*) { return 0; }
int snd_seq_drain_output(void*) { return 0; }
int snd_seq_drop_input(void*) { return 0; }
int snd_seq_drop_output(void*) { return 0; }
int snd_seq_control_queue(void*, int, int, int, void*) { return 0; }
int snd_seq_free_queue(void*, int) { return 0; }
int snd_seq_delete_simple_port(void*, int) { return 0; }
int snd_seq_set_client_name(void*, const char*) { return 0; }
int snd_seq_get_port_info(void*, int, void*) { return 0; }
int snd_seq_set_port_info(void*, int, void*) { return 0; }
int snd_seq_get_queue_status(void*, int, void*) { return 0; }
int snd_seq_get_queue_tempo(void*, int, void*) { return 0; }
int snd_seq_set_queue_tempo(void*, int, void*) { return 0; }
int snd_seq_set_queue_timer(void*, int, void*) { return 0; }
int snd_seq_subscribe_port(void*, void*) { return 0; }
int snd_seq_unsubscribe_port(void*, void*) { return 0; }
int snd_seq_remove_events(void*, void*) { return 0; }

}  // extern "C"
