#!/usr/bin/env bash
# Builds and runs every test: the native unit tests, then the DLL under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh

cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

cmake --preset native-asan >/dev/null
cmake --build --preset native-asan
ctest --preset native-asan

cmake --preset windows-dll >/dev/null
cmake --build --preset windows-dll
ctest --preset windows-dll
