#!/usr/bin/env bash
# The main job: build Quillograph.dll (32-bit) and its 64-bit build, drive each in our test
# host under Wine with a generated stereo test signal, printing what the host saw, and write
# the editor as the host saw it on screen to editor.png in each build folder.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/setup-debian.sh

# Wine runs 32-bit programs only where the kernel runs 32-bit x86 code; elsewhere only the
# 64-bit build can be driven (the 32-bit one is still built).
presets=(windows-dll windows-dll-x64)
for preset in "${presets[@]}"; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset"
done
runnable=(windows-dll-x64)
if bash tools/host-support.sh runs-32bit; then
    runnable=(windows-dll windows-dll-x64)
else
    echo "This kernel cannot run 32-bit x86 code: only the 64-bit DLL is driven under Wine."
fi

for preset in "${runnable[@]}"; do
    build=build/$preset
    echo "== $build/Quillograph.dll"
    tools/run-in-wine.sh "$build/wineprefix" "$build/tools/testhost/vst_test_host.exe" --demo \
        --png "$PWD/$build/editor.png" "$PWD/$build/Quillograph.dll"
    echo "The editor as the test host saw it on screen: $build/editor.png"
done
echo "The plug-ins: build/windows-dll/Quillograph.dll for 32-bit hosts,"
echo "build/windows-dll-x64/Quillograph.dll for 64-bit hosts: copy the one your host needs into its VST folder."
