#!/usr/bin/env bash
# The main job: build Quillograph.dll and drive it in our test host under Wine with a
# generated stereo test signal, printing what the host saw, and write the editor as the host
# saw it on screen to editor.png in the build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh

cmake --preset windows-dll >/dev/null
cmake --build --preset windows-dll
product=build/windows-dll/Quillograph.dll

# Wine runs 32-bit programs only where the kernel runs 32-bit x86 code; elsewhere the
# 64-bit twin of the DLL and the test host (the same sources) is what we can drive.
preset=windows-dll
if ! /lib/ld-linux.so.2 --version >/dev/null 2>&1; then
    echo "This kernel cannot run 32-bit x86 code: driving the 64-bit twin of the DLL under wine64."
    preset=windows-dll-x64
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
fi
build=build/$preset
tools/run-in-wine.sh "$build/wineprefix" "$build/tools/testhost/vst_test_host.exe" --demo \
    --png "$PWD/$build/editor.png" "$PWD/$build/Quillograph.dll"
echo "The editor as the test host saw it on screen: $build/editor.png"
echo "The plug-in is $product: copy it into your host's VST folder."
