#!/usr/bin/env bash
# Runs a Windows program under Wine inside a virtual X display.
# Usage: run-in-wine.sh WINEPREFIX program.exe [arguments...]
# The prefix, its Wine server and its X display are made on first use (under a lock, so
# parallel tests share them) and outlive single runs: under emulation every Wine process
# start costs many seconds, and a prefix whose server has exited restarts its system
# processes on the next run.
set -euo pipefail
prefix=$(realpath -m "$1"); shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
# 64-bit programs run on wine64 directly: Debian's wrapper would always pick wine32.
if file -b "$1" | grep -q '^PE32+'; then
    export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
    loader=/usr/lib/wine/wine64
else
    export WINEARCH=win32
    loader=wine
fi
mkdir -p "$prefix"

source "$(dirname "$0")/host-support.sh"

start_display() {
    local pidfile="$prefix.xvfb.pid" pid
    if [ -f "$pidfile" ] && pid=$(cat "$pidfile") &&
       [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then return; fi
    if ! start_xvfb "$prefix.display-number"; then
        echo "no X display could be started" >&2
        exit 1
    fi
    echo "$XVFB_PID" >"$pidfile"
    echo "$DISPLAY" >"$prefix.display"
    unset DISPLAY
}

(
    flock 9
    if [ -z "${DISPLAY:-}" ]; then start_display; fi
    export DISPLAY=${DISPLAY:-$(cat "$prefix.display")}
    # Whatever outlives this block must not inherit the lock's descriptor (9>&-).
    if [ ! -f "$prefix/.quillograph-ready" ]; then
        "$loader" wineboot -i </dev/null >/dev/null 2>&1 9>&- || true
        touch "$prefix/.quillograph-ready"
    fi
    # A fresh server starts Wine's system processes with the first program; start them here,
    # away from the caller's output (ctest would wait for them to close its pipe).
    if wineserver -p900 </dev/null >/dev/null 2>&1 9>&-; then
        "$loader" cmd.exe /c exit </dev/null >/dev/null 2>&1 9>&- || true
    fi
) 9>"$prefix.lock"

export DISPLAY=${DISPLAY:-$(cat "$prefix.display")}
exec "$loader" "$@"
