#!/usr/bin/env bash
# Builds and runs every test: the native unit tests, then both DLLs under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh

# The Wine tests keep a Wine server and an X server per prefix alive between tests; stop
# them when the run ends so that runs from many clones do not pile them up.
stop_wine_servers() {
    local pidfile prefix pid
    for pidfile in build/windows-dll*/wineprefix*.xvfb.pid; do
        [ -f "$pidfile" ] || continue
        prefix=${pidfile%.xvfb.pid}
        WINEPREFIX=$(realpath "$prefix") wineserver -k 2>/dev/null || true
        pid=$(cat "$pidfile")
        if [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ]; then kill "$pid" 2>/dev/null || true; fi
        rm -f "$pidfile"
    done
}
trap stop_wine_servers EXIT

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
ctest --preset native-asan

# Every fuzz target for a fixed number of executions over its corpus (ASan and UBSan, clang).
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
ctest --preset fuzz

# Audio, automation and painting threads together, under ThreadSanitizer.
cmake --preset native-tsan >/dev/null
cmake --build --preset native-tsan --target analyser_tests plugin_tests
ctest --preset native-tsan -R Concurrency

cmake --preset windows-dll >/dev/null
cmake --build --preset windows-dll
ctest --preset windows-dll

# The same Wine tests against the 64-bit DLL; the 32-bit run above skips them on kernels
# that cannot run 32-bit x86 code (no wine32).
cmake --preset windows-dll-x64 >/dev/null
cmake --build --preset windows-dll-x64
ctest --preset windows-dll-x64
