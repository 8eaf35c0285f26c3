#!/usr/bin/env bash
# The Linux editor's frame costs (tools/benchmarks/graphics/X11PresentBenchmark.cpp) against
# an X server of its own: medians of five repetitions, interleaved so that a shared
# machine's drift falls on every case alike. Extra arguments go to the benchmark.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/host-support.sh
cmake --preset native >/dev/null
cmake --build --preset native --target bench_x11_present
work=$(mktemp -d)
trap 'kill ${XVFB_PID:-} 2>/dev/null; wait ${XVFB_PID:-} 2>/dev/null; rm -rf "$work"' EXIT
start_xvfb "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
build/native/tools/benchmarks/graphics/bench_x11_present --benchmark_enable_random_interleaving=true "$@"
