#!/usr/bin/env bash
# A project saved with one word size's DLL opens with the other's: each build makes a state,
# the other loads it and saves it again, and the bytes must not change (plain and REAPER pose).
# Usage: check-state-across-builds.sh WORKDIR HOST32 DLL32 PREFIX32 HOST64 DLL64 PREFIX64
set -euo pipefail
work=$1; host32=$2; dll32=$3; prefix32=$4; host64=$5; dll64=$6; prefix64=$7
wine=$(dirname "$0")/../../tools/run-in-wine.sh
mkdir -p "$work"
fail=0
for pose in plain reaper; do
    args=()
    [ "$pose" = reaper ] && args=(--vendor Cockos --product REAPER)
    run32() { "$wine" "$prefix32" "$host32" "${args[@]}" --state-exchange "$1" "$2" "$dll32" >/dev/null; }
    run64() { "$wine" "$prefix64" "$host64" "${args[@]}" --state-exchange "$1" "$2" "$dll64" >/dev/null; }
    run32 - "$work/$pose-made-by-32.bin" && run64 "$work/$pose-made-by-32.bin" "$work/$pose-32-into-64.bin" &&
        run64 - "$work/$pose-made-by-64.bin" && run32 "$work/$pose-made-by-64.bin" "$work/$pose-64-into-32.bin" ||
        { echo "FAIL: $pose: a test host run failed"; fail=1; continue; }
    for pair in "made-by-32 32-into-64" "made-by-64 64-into-32" "made-by-32 made-by-64"; do
        set -- $pair
        if cmp -s "$work/$pose-$1.bin" "$work/$pose-$2.bin"; then
            echo "ok   $pose: $1 and $2 are the same $(stat -c %s "$work/$pose-$1.bin") bytes"
        else
            echo "FAIL: $pose: $1 and $2 differ"; fail=1
        fi
    done
done
exit $fail
