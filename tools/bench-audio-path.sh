#!/usr/bin/env bash
# The audio-path benchmark at both DLL word sizes, natively: the 64-bit build (preset native)
# and the same code built for 32-bit x86 (preset native-32), each beside its copy floor.
# Installs the 32-bit libraries the second build needs; its runs need a kernel that runs
# 32-bit x86 code.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh

need=()
for p in g++-multilib libbenchmark-dev:i386 libpng-dev:i386 libfreetype-dev:i386 libfontconfig-dev:i386 \
         zlib1g-dev:i386; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || need+=("$p")
done
if [ ${#need[@]} -gt 0 ]; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${need[@]}"
fi

for preset in native native-32; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" --target bench_audio_path
    echo "== $preset"
    # Interleaved repetitions: a shared machine's drift falls on the floor and the callbacks alike.
    "build/$preset/tools/benchmarks/bench_audio_path" --benchmark_repetitions=9 \
        --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true "$@"
done
