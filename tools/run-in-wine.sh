#!/usr/bin/env bash
# Runs a Windows program under Wine inside a virtual X display.
# Usage: run-in-wine.sh WINEPREFIX program.exe [arguments...]
# The prefix is made on first use (under a lock, so parallel tests share one).
set -euo pipefail
prefix=$(realpath -m "$1"); shift
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
mkdir -p "$(dirname "$prefix")"
(
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        wineboot -i >/dev/null 2>&1 || true
        wineserver -w
    fi
) 9>"$prefix.lock"

if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" wine "$@"
fi
exec wine "$@"
