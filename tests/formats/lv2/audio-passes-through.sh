#!/usr/bin/env bash
# lv2apply sends a generated stereo file through the plug-in at the lowest, common and
# highest sample rates and with every parameter moved; what comes out must be the same bits.
set -euo pipefail
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export LV2_PATH=$LV2_BUNDLES
uri=urn:veksa:quillograph

run() {  # rate frames [lv2apply control options]
    local rate=$1 frames=$2
    shift 2
    "$WAVTOOL" make "$work/in.wav" "$frames" "$rate"
    lv2apply -i "$work/in.wav" -o "$work/out.wav" "$@" "$uri"
    echo -n "$rate Hz $*: "
    "$WAVTOOL" same "$work/in.wav" "$work/out.wav"
}

run 8000 9000
run 44100 30000 -c domain 0 -c v_scale 20 -c pause 1
run 48000 50000 -c domain 3 -c fft_zoom 6
run 768000 100000 -c domain 2 -c v_scale 0.1
