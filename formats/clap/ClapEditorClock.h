// What drives the Linux editor's X events and redraws from the host's main loop: the host's
// timer, and where the host watches file descriptors, a timer file of our own as well (some
// hosts run their plug-in timers at a few per second, too slow for a picture at 24 frames).
#pragma once

#include "formats/clap/ClapAbi.h"

class ClapHost;

class ClapEditorClock {
public:
    // Asks the host for its timer and watch; false when it offers neither.
    bool Start(const ClapHost& host);
    void Stop(const ClapHost& host);
    bool Running() const { return timer != CLAP_INVALID_ID || fd >= 0; }
    // Whether a host's on_timer or on_fd is this clock's; a tick of the fd is taken from it.
    bool IsTimer(clap_id id) const { return id != CLAP_INVALID_ID && id == timer; }
    bool TakeFd(int which);

    // Often enough for the pointer to feel direct; the editor redraws at its own frame rate.
    static constexpr uint32_t kPeriodMs = 15;

private:
    clap_id timer = CLAP_INVALID_ID;
    int fd = -1;
};
