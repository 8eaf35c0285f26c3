#!/usr/bin/env bash
# The plug-in in a real DAW's session: Qtractor opens a session with the plug-in on an audio
# track, the editor opens inside Qtractor's window with the saved settings and colours, a
# click in it pauses the view, Ctrl+S saves the session with that in the port and in the
# state blob, and the saved session opens again and saves the same state again. A session
# whose only record of the settings is the blob shows them and saves them again.
source "$(dirname "${BASH_SOURCE[0]}")/lv2-host-lib.sh"
command -v qtractor >/dev/null || { echo "SKIP: qtractor is not installed"; exit 77; }
TEMPLATE=$(dirname "${BASH_SOURCE[0]}")/qtractor-session.qtr
# Qtractor will not start its engine without an ALSA sequencer; a kernel without one (a
# container's) gets a quiet stand-in.
PRELOAD=
[ -e /dev/snd/seq ] || PRELOAD=$NULL_SEQUENCER

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

# session FILE CHUNK: our template with the state Qtractor keeps for an LV2 plug-in, lilv's
# Turtle text of the port values and the blob, and the same values as its parameters.
session() {
    local v i
    read -r -a v <<<"$(values_of "$2")"
    # Turtle reads a number without a point as an integer; Qtractor writes decimals.
    for i in 0 1 2 3; do [[ ${v[i]} == *.* ]] || v[i]=${v[i]}.0; done
    local state
    state=$(qtractor_value <<EOF
<urn:qtractor:state>
	a pset:Preset ;
	lv2:appliesTo <$URI> ;
	lv2:port [ lv2:symbol "domain" ; pset:value ${v[0]} ] ,
		[ lv2:symbol "fft_zoom" ; pset:value ${v[2]} ] ,
		[ lv2:symbol "pause" ; pset:value ${v[3]} ] ,
		[ lv2:symbol "v_scale" ; pset:value ${v[1]} ] ;
	state:state [
		<$URI#chunk> """$(base64 -w0 "$2")"""^^xsd:base64Binary
	] .
EOF
)
    mkdir -p "$(dirname "$1")"
    # The editor's window goes right of Qtractor's main window, where nothing covers it.
    sed -e "s|@DIRECTORY@|$(dirname "$1")|; s|@STATE@|$state|; s|@EDITOR_POS@|1040,100|" \
        -e "s|@DOMAIN@|${v[0]}|; s|@V_SCALE@|${v[1]}|; s|@FFT_ZOOM@|${v[2]}|; s|@PAUSE@|${v[3]}|" "$TEMPLATE" >"$1"
}

# The blob in the state of a session Qtractor saved, and a parameter's value there.
saved_chunk() {
    perl -MCompress::Zlib -MMIME::Base64 -0777 -ne \
        'm{<config [^>]*key="urn:qtractor:state#key"[^>]*>([^<]*)</config>} or exit 1;
         print uncompress(substr(decode_base64($1), 4)) // exit 1' "$1" |
        tr -d '\n\t ' | grep -o "<$URI#chunk>\"*[A-Za-z0-9+/=]*" | sed 's/.*>"*//' | base64 -d
}
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

start_x
start_jack

# A session saved by a user who chose the phase display, v scale 5, fft zoom band 2 and a
# background of their own (red 30, green 60, blue 90), with the editor closed.
chunk 2 5 2 0 255,30,60,90 >"$WORK/first.chunk"
SESSION=$WORK/first/first.qtr
session "$SESSION" "$WORK/first.chunk"
start_qtractor "$SESSION"
open_editor
parent=$(xwininfo -id "$EDITOR" -tree | sed -n 's/.*Parent window id: //p')
case "$parent" in
    *'"Quillograph - Analysed'*) echo "editor window $EDITOR in Qtractor's window $parent" ;;
    *) qtractor_failed "the editor is not inside Qtractor's editor window but in $parent" ;;
esac
wait_for 50 caption_shown || qtractor_failed "no caption in the editor"
"$EDITOR_REFERENCE" chunk-picture "$WORK/first.png" "$WORK/first.chunk" || fail "no reference picture"
same_picture "$EDITOR" "$WORK/first.png" opened || qtractor_failed "the editor does not show the saved settings and colours"
echo "the editor shows the session's settings and colours"

# A click in the view pauses it; the user saves with Ctrl+S.
xdotool mousemove --window "$EDITOR" 100 50 click 1
sleep 0.5
kill -0 "$QTRACTOR_PID" || qtractor_failed "Qtractor died after a click in the editor"
saves=$(logged "Save session: ")
xdotool windowfocus --sync "$MAIN"
xdotool key ctrl+s
wait_for 100 logged_since "Save session: " "$saves" || qtractor_failed "Ctrl+S saved nothing"
grep -q "<filename>$URI</filename>" "$SESSION" || qtractor_failed "the saved session lost the plug-in"
[ "$(saved_param "$SESSION" pause)" = 1 ] || qtractor_failed "pause is $(saved_param "$SESSION" pause) after the click"
saved_chunk "$SESSION" >"$WORK/saved.chunk" || qtractor_failed "no state blob in the saved session"
[ "$(stat -c %s "$WORK/saved.chunk")" = 96 ] || qtractor_failed "the saved blob is $(stat -c %s "$WORK/saved.chunk") bytes"
[ "$(values_of "$WORK/saved.chunk")" = "2 5 2 1" ] || qtractor_failed "the saved blob holds $(values_of "$WORK/saved.chunk")"
cmp -s <(tail -c 64 "$WORK/saved.chunk") <(tail -c 64 "$WORK/first.chunk") ||
    qtractor_failed "the saved blob has other colours than the loaded one"
echo "a click paused the view; Ctrl+S saved the session with pause in the port and the blob"
stop_qtractor

# Qtractor's own session opens as it was saved, and saves the same blob when a session
# manager asks it to save (SIGUSR1) with nothing changed.
start_qtractor "$SESSION"
open_editor
"$EDITOR_REFERENCE" chunk-picture "$WORK/saved.png" "$WORK/saved.chunk" || fail "no reference picture"
same_picture "$EDITOR" "$WORK/saved.png" reopened || qtractor_failed "the reopened editor does not show the saved state"
saves=$(logged "Save session: ")
kill -USR1 "$QTRACTOR_PID"
wait_for 100 logged_since "Save session: " "$saves" || qtractor_failed "Qtractor saved nothing on SIGUSR1"
saved_chunk "$SESSION" >"$WORK/resaved.chunk" || qtractor_failed "no state blob in the saved session"
cmp -s "$WORK/saved.chunk" "$WORK/resaved.chunk" ||
    qtractor_failed "the blob saved after reopening holds $(values_of "$WORK/resaved.chunk"), not $(values_of "$WORK/saved.chunk")"
echo "the reopened session shows the saved state and saves the same blob"
stop_qtractor

# The plug-in's own state outranks ports the host left at their defaults. Without its own
# state text, Qtractor hands the plug-in's restore each configuration value under its key,
# here the blob, and with no parameters it sets no port: the blob's settings must show and
# be saved again.
SESSION=$WORK/blob-only/blob-only.qtr
session "$SESSION" "$WORK/first.chunk"
blob=$(qtractor_value <"$WORK/first.chunk")
perl -0pi -e "s|<config [^>]*>[^<]*</config>|<config key=\"$URI#chunk\" type=\"http://lv2plug.in/ns/ext/atom#Chunk\">$blob</config>|;
              s|\\s*<params>.*</params>||s" "$SESSION"
start_qtractor "$SESSION"
open_editor
if same_picture "$EDITOR" "$WORK/first.png" blob-only; then shown=yes; else shown=no; fi
saves=$(logged "Save session: ")
kill -USR1 "$QTRACTOR_PID"
wait_for 100 logged_since "Save session: " "$saves" || qtractor_failed "Qtractor saved nothing on SIGUSR1"
saved_chunk "$SESSION" >"$WORK/blob-only.chunk" || qtractor_failed "no state blob in the saved session"
stop_qtractor
[ $shown = yes ] && cmp -s "$WORK/first.chunk" "$WORK/blob-only.chunk" ||
    fail "settings held only by the blob: shown $shown, saved again as $(values_of "$WORK/blob-only.chunk")"
echo "settings held only by the blob are shown and saved again"
echo PASS
