#!/usr/bin/env bash
# Regenerates the README's pictures in docs/images with quillograph-render: the four displays
# on a short piece of made-up music (tools/pictures/DemoMusic.cpp), and the freq display as
# the editor shows it at 1x and at 2x. Built natively (preset native), no Wine needed.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target demo_music quillograph-render
music=build/native/demo-music.wav
render=build/native/tools/render/quillograph-render
build/native/tools/pictures/demo_music "$music" 2.6
mkdir -p docs/images
# Each caught on the downbeat of the third chord.
"$render" "$music" --at 2.58 --domain all --sheet -q -o docs/images/displays.png
"$render" "$music" --at 2.58 --domain freq -q -o docs/images/editor-1x.png
"$render" "$music" --at 2.58 --domain freq --scale 2 -q -o docs/images/editor-2x.png
ls -l docs/images
