#!/usr/bin/env bash
# Regenerates the README's pictures in docs/images: the four displays on a short piece of
# made-up music, and the editor at 1x and 2x. Built natively (preset native), no Wine needed.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native --target readme_pictures
mkdir -p docs/images
build/native/tools/pictures/readme_pictures docs/images
