#!/usr/bin/env bash
# A long fuzzing campaign: builds the fuzz preset and runs each target for a time (and at most
# a number of executions), growing a corpus of its own under build/fuzz/campaign/ on top of the
# seed corpus in the tree. Prints executions, coverage and findings per target.
# Usage: run-fuzz-campaign.sh [-t SECONDS] [-n RUNS] [-j JOBS] [TARGET...]
#   -t  time per target (default 600)        -n  executions per target (default: no limit)
#   -j  targets run at once (default 1)      TARGET  fuzz_state_chunk etc. (default: all)
# A finding (crash, leak, undefined behaviour, timeout, out of memory) is kept in
# build/fuzz/campaign/TARGET/findings/; replay it with build/fuzz/tests/fuzz/TARGET FILE.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=600 runs=-1 jobs=1
while getopts "t:n:j:" opt; do
    case $opt in
        t) seconds=$OPTARG ;;
        n) runs=$OPTARG ;;
        j) jobs=$OPTARG ;;
        *) sed -n '4,6p' "$0"; exit 2 ;;
    esac
done
shift $((OPTIND - 1))

cmake --preset fuzz >/dev/null
cmake --build --preset fuzz >/dev/null
bin=build/fuzz/tests/fuzz
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    for f in "$bin"/fuzz_*; do [ -x "$f" ] && targets+=("$(basename "$f")"); done
fi

run_target() {
    local t=$1 dir=build/fuzz/campaign/$1
    mkdir -p "$dir/corpus" "$dir/findings"
    # -timeout: one input running this long is a hang. Seeds are read, never written.
    "$bin/$t" -max_total_time="$seconds" -runs="$runs" -timeout=25 -print_final_stats=1 \
        -artifact_prefix="$dir/findings/" "$dir/corpus" "tests/fuzz/corpus/$t" >"$dir/log" 2>&1 || true
}

active=0
for t in "${targets[@]}"; do
    run_target "$t" &
    active=$((active + 1))
    if [ "$active" -ge "$jobs" ]; then wait -n; active=$((active - 1)); fi
done
wait

printf '%-20s %14s %8s %10s %9s\n' target executions cov exec/s findings
for t in "${targets[@]}"; do
    dir=build/fuzz/campaign/$t
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/log" | tail -1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$dir/log" | tail -1)
    cov=$(grep -o 'cov: [0-9]*' "$dir/log" | tail -1 | cut -d' ' -f2)
    findings=$(find "$dir/findings" -type f | wc -l)
    printf '%-20s %14s %8s %10s %9s\n' "$t" "${execs:-?}" "${cov:-?}" "${rate:-?}" "$findings"
    find "$dir/findings" -type f | sed 's/^/    /'
done
