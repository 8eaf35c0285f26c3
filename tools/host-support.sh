#!/usr/bin/env bash
# What the scripts that run hosts and tests share: an X server of their own, and whether this
# kernel runs 32-bit x86 programs. Source it for the functions, or run it as
# `host-support.sh runs-32bit` (exit status 0 when it does).

# Starts Xvfb on a display number the server picks itself (it sees through the lock files
# that servers killed from outside leave behind), writes the number to the file $1 and waits
# for it; the server's output goes to $2 (default /dev/null). Sets XVFB_PID and DISPLAY.
# Fails when no server came up within ten seconds.
start_xvfb() {
    local number=$1 log=${2:-/dev/null}
    rm -f "$number"
    # Its own session, no descriptors but its display number's: a server that outlives its
    # caller must hold nothing of the caller's (a lock, ctest's pipes).
    setsid Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset </dev/null >"$log" 2>&1 3>"$number" 9>&- &
    XVFB_PID=$!
    local _
    for _ in $(seq 100); do
        [ -s "$number" ] && break
        sleep 0.1
    done
    [ -s "$number" ] || return 1
    export DISPLAY=:$(cat "$number")
}

# Qtractor's settings for a user who has used it before: no autosave whose restoring is
# offered at the next start, plug-in editors opened with their sessions, and the messages
# window logged to the file $1, which tells when the engine has started and a save is done.
write_qtractor_settings() {
    mkdir -p "$HOME/.config/rncbc.org"
    cat >"$HOME/.config/rncbc.org/Qtractor.conf" <<EOF
[AutoSave]
Enabled=false

[Options]
Logging\\MessagesLog=true
Logging\\MessagesLogPath=$1
Display\\StdoutCapture=false

[Plugins]
OpenEditor=true

[Program]
Version=0.9.31
EOF
}

# Whether this kernel runs 32-bit x86 programs (Wine's 32-bit loader among them).
runs_32bit() {
    /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    case "${1:-}" in
        runs-32bit) runs_32bit ;;
        *) echo "usage: $0 runs-32bit" >&2; exit 2 ;;
    esac
fi
