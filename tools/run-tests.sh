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

# Each run configures, builds and tests one preset (CMakePresets.json's workflows): the native
# unit tests, then under AddressSanitizer, every fuzz target for a fixed number of executions
# over its corpus (ASan and UBSan, clang), the audio, automation and painting threads together
# under ThreadSanitizer, and both DLLs under Wine. The 32-bit run skips the Wine tests on
# kernels that cannot run 32-bit x86 code (no wine32); the 64-bit run has them all.
for workflow in native native-asan fuzz native-tsan windows-dll windows-dll-x64; do
    cmake --workflow --preset "$workflow"
done
