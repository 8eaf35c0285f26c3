# Shared by the tests in Qtractor: its settings, starting and stopping it on a session, its
# messages, the editor opened from the track's plug-in list, and the plug-in's 96-byte state.
# Sourced after lv2-host-lib.sh (the X and JACK servers, windows and pictures), not run.

# Qtractor will not start its engine without an ALSA sequencer; a kernel without one (a
# container's) gets a quiet stand-in.
PRELOAD=
[ -e /dev/snd/seq ] || PRELOAD=${NULL_SEQUENCER:?the quiet ALSA sequencer}

prepare_qtractor() {
    export XDG_RUNTIME_DIR=$WORK/runtime
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    write_qtractor_settings "$WORK/qtractor-messages.log"
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

# pause_save_and_reopen FILENAME: with the session $SESSION of $WORK/first.chunk open, a click
# in the view pauses it and Ctrl+S saves the session (whose plug-in is FILENAME) with pause in
# the parameter and in the state; the saved session opens again showing that state, and saves
# the same state when a session manager asks it to save (SIGUSR1) with nothing changed.
# The caller's saved_chunk reads the state out of a saved session.
pause_save_and_reopen() {
    xdotool mousemove --window "$EDITOR" 100 50 click 1
    sleep 0.5
    kill -0 "$QTRACTOR_PID" || qtractor_failed "Qtractor died after a click in the editor"
    local saves
    saves=$(logged "Save session: ")
    xdotool windowfocus --sync "$MAIN"
    xdotool key ctrl+s
    wait_for 100 logged_since "Save session: " "$saves" || qtractor_failed "Ctrl+S saved nothing"
    grep -q "<filename>$1</filename>" "$SESSION" || qtractor_failed "the saved session lost the plug-in"
    [ "$(saved_param "$SESSION" pause)" = 1 ] || qtractor_failed "pause is $(saved_param "$SESSION" pause) after the click"
    saved_chunk "$SESSION" >"$WORK/saved.chunk" || qtractor_failed "no state in the saved session"
    [ "$(stat -c %s "$WORK/saved.chunk")" = 96 ] || qtractor_failed "the saved state is $(stat -c %s "$WORK/saved.chunk") bytes"
    [ "$(values_of "$WORK/saved.chunk")" = "2 5 2 1" ] || qtractor_failed "the saved state holds $(values_of "$WORK/saved.chunk")"
    cmp -s <(tail -c 64 "$WORK/saved.chunk") <(tail -c 64 "$WORK/first.chunk") ||
        qtractor_failed "the saved state has other colours than the loaded one"
    echo "a click paused the view; Ctrl+S saved the session with pause in the parameter and the state"
    stop_qtractor

    start_qtractor "$SESSION"
    open_editor
    "$EDITOR_REFERENCE" chunk-picture "$WORK/saved.png" "$WORK/saved.chunk" || fail "no reference picture"
    same_picture "$EDITOR" "$WORK/saved.png" reopened || qtractor_failed "the reopened editor does not show the saved state"
    saves=$(logged "Save session: ")
    kill -USR1 "$QTRACTOR_PID"
    wait_for 100 logged_since "Save session: " "$saves" || qtractor_failed "Qtractor saved nothing on SIGUSR1"
    saved_chunk "$SESSION" >"$WORK/resaved.chunk" || qtractor_failed "no state in the saved session"
    cmp -s "$WORK/saved.chunk" "$WORK/resaved.chunk" ||
        qtractor_failed "the state saved after reopening holds $(values_of "$WORK/resaved.chunk"), not $(values_of "$WORK/saved.chunk")"
    echo "the reopened session shows the saved state and saves the same state"
    stop_qtractor
}

# start_first_session: Qtractor on a session that a user saved with the phase display, v scale
# 5, fft zoom band 2 and a background of their own (red 30, green 60, blue 90), the editor
# closed; the test's own `session` function writes it.
start_first_session() {
    prepare_qtractor
    start_x
    start_jack
    chunk 2 5 2 0 255,30,60,90 >"$WORK/first.chunk"
    SESSION=$WORK/first/first.qtr
    session "$SESSION" "$WORK/first.chunk"
    start_qtractor "$SESSION"
}

# editor_in_qtractor_window TITLE: opens the editor and checks that it sits in Qtractor's
# editor window, whose title starts with TITLE, and shows its caption; sets `parent`.
editor_in_qtractor_window() {
    open_editor
    parent=$(xwininfo -id "$EDITOR" -tree | sed -n 's/.*Parent window id: //p')
    case "$parent" in
        *"\"$1"*) echo "editor window $EDITOR in Qtractor's window $parent" ;;
        *) qtractor_failed "the editor is not inside Qtractor's editor window but in $parent" ;;
    esac
    wait_for 50 caption_shown || qtractor_failed "no caption in the editor"
}
