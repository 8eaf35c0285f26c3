# Shared by the tests in Qtractor: its settings, starting and stopping it on a session, its
# messages, the editor opened from the track's plug-in list, and the plug-in's 96-byte state.
# Sourced after lv2-host-lib.sh (the X and JACK servers, windows and pictures), not run.

# Qtractor will not start its engine without an ALSA sequencer; a kernel without one (a
# container's) gets a quiet stand-in.
PRELOAD=
[ -e /dev/snd/seq ] || PRELOAD=${NULL_SEQUENCER:?the quiet ALSA sequencer}

prepare_qtractor() {
    # Settings of a user who has used Qtractor before: no autosave whose restoring is offered at
    # the next start, and the messages window logged to a file, which tells when the engine has
    # started and when a save is done.
    export XDG_RUNTIME_DIR=$WORK/runtime
    mkdir -p -m 700 "$XDG_RUNTIME_DIR" "$HOME/.config/rncbc.org"
    cat >"$HOME/.config/rncbc.org/Qtractor.conf" <<EOF
[AutoSave]
Enabled=false

[Options]
Logging\\MessagesLog=true
Logging\\MessagesLogPath=$WORK/qtractor-messages.log
Display\\StdoutCapture=false

[Plugins]
OpenEditor=true

[Program]
Version=0.9.31
EOF
}

# chunk DOMAIN VSCALE ZOOM PAUSE BACKGROUND: the 96-byte state blob with the default fill,
# edge and caption colours; BACKGROUND is alpha,red,green,blue.
chunk() {
    perl -e 'print pack("d<4", @ARGV[0..3]), pack("l<4", split(/,/, $ARGV[4])),
                   pack("l<12", 255, 220, 220, 100, 255, 255, 255, 255, 255, 0, 128, 255)' "$@"
}
values_of() {  # CHUNK: its domain, v scale, fft zoom and pause
    od -An -tf8 -N32 -w32 "$1" | tr -s ' ' | sed 's/^ //; s/ $//'
}

# Qtractor keeps a configuration value compressed (qCompress: the length, big-endian, then
# zlib) and in base64.
qtractor_value() {
    perl -MCompress::Zlib -MMIME::Base64 -0777 -ne 'print encode_base64(pack("N", length) . compress($_), "")'
}

# A parameter's value in a session Qtractor saved.
saved_param() {  # FILE NAME
    sed -n "s|.*<param [^>]*name=\"$2\"[^>]*>\\([^<]*\\)</param>.*|\\1|p" "$1"
}

qtractor_failed() {
    echo "--- Qtractor's output"; cat "$WORK/qtractor.log" 2>/dev/null || true
    echo "--- Qtractor's messages"; cat "$WORK/qtractor-messages.log" 2>/dev/null || true
    fail "$@"
}

logged() { cat "$WORK/qtractor-messages.log" 2>/dev/null | grep -c "^[0-9:.]* $1" || true; }
logged_since() { [ "$(logged "$1")" -gt "$2" ]; }
engine_answered() {
    logged_since "Session started" "$1" || logged_since "The audio/MIDI engine could not be started" "$2"
}

# start_qtractor SESSION: Qtractor on the session, up to its main window and started engine.
# A JACK server that has just started sometimes turns a first client away; Qtractor then
# reports that its engine could not start and is started again with a new server.
start_qtractor() {
    local attempt started failed
    for attempt in 1 2 3; do
        jack_running || start_jack
        started=$(logged "Session started") failed=$(logged "The audio/MIDI engine could not be started")
        (cd "$WORK" && exec env ${PRELOAD:+LD_PRELOAD=$PRELOAD} qtractor "$1") >>"$WORK/qtractor.log" 2>&1 &
        QTRACTOR_PID=$!
        PIDS+=($QTRACTOR_PID)
        wait_for 150 engine_answered "$started" "$failed" || qtractor_failed "Qtractor did not start its engine"
        if logged_since "Session started" "$started"; then
            MAIN=$(window_named "$1( \\[modified\\])?") || qtractor_failed "Qtractor's window did not appear"
            return 0
        fi
        echo "Qtractor could not start its engine (attempt $attempt)"
        kill -9 "$QTRACTOR_PID"
        wait "$QTRACTOR_PID" 2>/dev/null || true
        kill "$JACK_PID" 2>/dev/null || true
        wait "$JACK_PID" 2>/dev/null || true
    done
    qtractor_failed "Qtractor never started its engine"
}

# Qtractor ends on SIGTERM as a session manager stops it, when nothing is left unsaved.
stop_qtractor() {
    local status
    kill -TERM "$QTRACTOR_PID"
    for _ in $(seq 100); do kill -0 "$QTRACTOR_PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$QTRACTOR_PID" 2>/dev/null && qtractor_failed "Qtractor did not stop"
    wait "$QTRACTOR_PID" && status=0 || status=$?
    [ "$status" = 0 ] || qtractor_failed "Qtractor ended with status $status"
}

# A double click on the plug-in in the track header's plug-in list opens its editor.
open_editor() {
    local X Y WIDTH HEIGHT SCREEN WINDOW
    eval "$(xdotool getwindowgeometry --shell "$MAIN")"
    for _ in 1 2; do
        xdotool mousemove $((X + 183)) $((Y + 180)) click --repeat 2 --delay 80 1
        EDITOR=$(window_named Vireo) && return 0
    done
    qtractor_failed "the editor did not open"
}

# The caption, "%.1fx" of the v scale in the caption colour, is drawn in the top right box.
caption_shown() {
    import -window "$EDITOR" "$WORK/caption.png"
    convert "$WORK/caption.png" -crop 40x12+192+0 +repage -format %c histogram:info:- | grep -qi "#0080FF"
}
