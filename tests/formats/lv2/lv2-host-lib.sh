# Shared by the LV2 host tests: an X server and a JACK server of the test's own, jalv in
# them, and the editor's window found, photographed and clicked. Sourced, not run.
# Everything started here is stopped by its process id when the test exits.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../../../tools/host-support.sh"

WORK=$(mktemp -d)
PIDS=()
export LV2_PATH=$LV2_BUNDLES
export HOME=$WORK GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1
# A client that finds no server must not start one of its own on the sound card.
export JACK_NO_START_SERVER=1
URI=urn:veksa:quillograph

cleanup() {
    local pid
    for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${PIDS[@]}"; do
        for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
    done
    # A client killed on a failure leaves its semaphore of our servers behind.
    rm -f /dev/shm/jack_sem.*_quillograph-test-$$-*
    rm -rf "$WORK"
}
trap cleanup EXIT

fail() { echo "FAIL: $*"; exit 1; }

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tenths=$1
    shift
    for _ in $(seq "$tenths"); do "$@" >/dev/null 2>&1 && return 0; sleep 0.1; done
    return 1
}

start_x() {
    start_xvfb "$WORK/display" "$WORK/xvfb.log" || fail "Xvfb did not start"
    PIDS+=("$XVFB_PID")
}

# JACK servers share one registry of shared memory per user; when many start at once one
# may fail to come up or to take its first client, so a failed server is replaced.
start_jack() {
    local attempt
    for attempt in 1 2 3; do
        export JACK_DEFAULT_SERVER=quillograph-test-$$-$RANDOM
        jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 512 >"$WORK/jack.log" 2>&1 &
        JACK_PID=$!
        PIDS+=($JACK_PID)
        jack_wait -w -t 10 >/dev/null 2>&1 && return 0
        kill "$JACK_PID" 2>/dev/null || true
        echo "JACK did not start (attempt $attempt)"
    done
    fail "JACK did not start: $(cat "$WORK/jack.log")"
}

# jack_wait -c tells by what it prints, not by its status.
jack_running() { [ "$(jack_wait -c 2>/dev/null)" = running ]; }

# start_jalv LOG PROGRAM ARGS...: runs a jalv front end on the plug-in. A JACK server that
# has just started (or several started at once) sometimes turns a first client away; jalv
# then ends at once and is started again.
start_jalv() {
    local log=$1 attempt
    shift
    for attempt in 1 2 3; do
        jack_running || start_jack
        # Run from the work folder: jalv's save dialog opens in it.
        (cd "$WORK" && exec "$@" "$URI") >"$log" 2>&1 &
        JALV_PID=$!
        PIDS+=($JALV_PID)
        for _ in $(seq 20); do
            kill -0 "$JALV_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -0 "$JALV_PID" 2>/dev/null && return 0
        grep -q "Failed to connect to audio system" "$log" || fail "jalv ended at once: $(cat "$log")"
        echo "jalv could not connect to JACK (attempt $attempt)"
    done
    fail "jalv never connected to JACK: $(cat "$log")"
}

# Stops jalv as a user's interrupt does, with the editor open and audio running: it closes
# the editor and the plug-in and must end cleanly.
stop_jalv() {
    local status
    kill -INT "$JALV_PID" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$JALV_PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$JALV_PID" 2>/dev/null && fail "jalv did not stop"
    wait "$JALV_PID" && status=0 || status=$?
    [ "$status" = 0 ] || fail "jalv ended with status $status"
}

# The id of the one window called $1, after waiting for it.
window_named() {
    local id=""
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.1
    done
    return 1
}

# same_picture WINDOW REFERENCE.png NAME: the window's contents equal the reference, pixel
# for pixel. The editor repaints at 24 frames per second; a few frames are allowed to settle.
same_picture() {
    local window=$1 reference=$2 name=$3 differing=""
    for _ in $(seq 20); do
        import -window "$window" "$WORK/$name.png"
        differing=$(compare -metric AE -alpha off "$WORK/$name.png" "$reference" "$WORK/$name-diff.png" 2>&1 || true)
        [ "$differing" = "0" ] && return 0
        sleep 0.1
    done
    echo "$name: $differing pixels differ"
    return 1
}

reference() {  # FILE DOMAIN VSCALE ZOOM PAUSE [HOVERX HOVERY]
    "$EDITOR_REFERENCE" picture "$@" || fail "no reference picture"
}

# Saves jalv.gtk3's state into the new directory $WORK/$1 through its menu shortcut and
# its dialog, which opens in jalv's working folder ($WORK).
save_state() {
    local dir=$WORK/$1 top dialog
    top=$(window_named Quillograph) || fail "no jalv window"
    xdotool windowfocus --sync "$top"
    xdotool key ctrl+s
    dialog=$(window_named "Save State") || fail "no save dialog"
    xdotool windowfocus --sync "$dialog"
    xdotool mousemove --window "$dialog" 500 25 click 1
    sleep 0.3
    xdotool type --delay 5 "$1"
    # The first Return may only close the name completion that typing opened.
    for _ in 1 2 3; do
        sleep 0.5
        xdotool key Return
        wait_for 20 test -s "$dir/state.ttl" && return 0
    done
    fail "jalv saved no state in $dir"
}

# The value of control port $2 in the saved state file $1.
saved_port() {
    awk -v sym="\"$2\"" '$1 == "lv2:symbol" && $2 == sym { getline; print $2; exit }' "$1"
}

# The blob in the state file $1, as lilv writes it: base64 text in a (long) string literal.
chunk_of() {
    tr -d '\n\t ' <"$1" | grep -o '<urn:veksa:quillograph#chunk>"*[A-Za-z0-9+/=]*' | sed 's/.*>"*//' | base64 -d
}
