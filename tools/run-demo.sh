#!/usr/bin/env bash
# The main job: build Quillograph.dll and drive it in our test host under Wine with a
# generated stereo test signal, printing what the host saw.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh
cmake --preset windows-dll >/dev/null
cmake --build --preset windows-dll
build=build/windows-dll
tools/run-in-wine.sh "$build/wineprefix" "$build/tools/testhost/vst_test_host.exe" --demo "$PWD/$build/Quillograph.dll"
echo "Quillograph.dll is at $build/Quillograph.dll: copy it into your host's VST folder."
