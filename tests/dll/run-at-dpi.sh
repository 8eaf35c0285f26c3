#!/usr/bin/env bash
# Runs the test host under Wine in a prefix of its own whose screen has DPI dots per inch,
# so that the other tests' prefix keeps 96.
# Usage: run-at-dpi.sh WINEPREFIX DPI vst_test_host.exe [arguments...]
set -euo pipefail
prefix=$1 dpi=$2 host=$3
shift 3
run=$(dirname "$0")/../../tools/run-in-wine.sh
mkdir -p "$prefix"
if [ ! -f "$prefix/.quillograph-dpi-$dpi" ]; then
    # Wine reads the density when a process starts: stored by one run, seen by the next.
    "$run" "$prefix" "$host" --set-dpi "$dpi"
    touch "$prefix/.quillograph-dpi-$dpi"
fi
exec "$run" "$prefix" "$host" "$@"
