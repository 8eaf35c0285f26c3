#!/usr/bin/env bash
# Runs a command against an X server of its own, stopped when the command ends. The server
# does not reset when its last client leaves, or the next test could find it resetting.
set -euo pipefail
source "$(dirname "$0")/../tools/host-support.sh"
work=$(mktemp -d)
trap 'kill ${XVFB_PID:-} 2>/dev/null; wait ${XVFB_PID:-} 2>/dev/null; rm -rf "$work"' EXIT
start_xvfb "$work/display" || { echo "FAIL: Xvfb did not start"; exit 1; }
"$@"
