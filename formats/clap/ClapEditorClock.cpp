#include "formats/clap/ClapEditorClock.h"

#include "formats/clap/ClapHost.h"

#if !defined(_WIN32)
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#endif

bool ClapEditorClock::Start(const ClapHost& host)
{
#if defined(_WIN32)
    (void)host;
    return false;
#else
    if (Running()) return true;
    if (const clap_host_timer_support_t* timers = host.Timers()) {
        clap_id id = CLAP_INVALID_ID;
        if (timers->register_timer(host.Record(), kPeriodMs, &id)) timer = id;
    }
    if (const clap_host_posix_fd_support_t* fds = host.Fds()) {
        const int made = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        itimerspec period = {};
        period.it_interval.tv_nsec = static_cast<long>(kPeriodMs) * 1000000L;
        period.it_value = period.it_interval;
        if (made >= 0 && timerfd_settime(made, 0, &period, nullptr) == 0 &&
            fds->register_fd(host.Record(), made, CLAP_POSIX_FD_READ)) {
            fd = made;
        } else if (made >= 0) {
            close(made);
        }
    }
    return Running();
#endif
}

void ClapEditorClock::Stop(const ClapHost& host)
{
#if !defined(_WIN32)
    if (timer != CLAP_INVALID_ID) {
        if (const clap_host_timer_support_t* timers = host.Timers()) timers->unregister_timer(host.Record(), timer);
        timer = CLAP_INVALID_ID;
    }
    if (fd >= 0) {
        if (const clap_host_posix_fd_support_t* fds = host.Fds()) fds->unregister_fd(host.Record(), fd);
        close(fd);
        fd = -1;
    }
#else
    (void)host;
#endif
}

bool ClapEditorClock::TakeFd(int which)
{
#if defined(_WIN32)
    (void)which;
    return false;
#else
    if (fd < 0 || which != fd) return false;
    // Level-triggered: the expirations are read, or the host calls again at once.
    uint64_t expirations = 0;
    while (read(fd, &expirations, sizeof expirations) == static_cast<ssize_t>(sizeof expirations)) {
    }
    return true;
#endif
}
