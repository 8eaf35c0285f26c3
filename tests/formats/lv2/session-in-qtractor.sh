#!/usr/bin/env bash
# The plug-in in a real DAW's session: Qtractor opens a session with the plug-in on an audio
# track, the editor opens inside Qtractor's window with the saved settings and colours, a
# click in it pauses the view, Ctrl+S saves the session with that in the port and in the
# state blob, and the saved session opens again and saves the same state again. A session
# whose only record of the settings is the blob shows them and saves them again.
source "$(dirname "${BASH_SOURCE[0]}")/lv2-host-lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../qtractor-lib.sh"
command -v qtractor >/dev/null || { echo "SKIP: qtractor is not installed"; exit 77; }
TEMPLATE=$(dirname "${BASH_SOURCE[0]}")/qtractor-session.qtr

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

# The blob in the state of a session Qtractor saved.
saved_chunk() {
    perl -MCompress::Zlib -MMIME::Base64 -0777 -ne \
        'm{<config [^>]*key="urn:qtractor:state#key"[^>]*>([^<]*)</config>} or exit 1;
         print uncompress(substr(decode_base64($1), 4)) // exit 1' "$1" |
        tr -d '\n\t ' | grep -o "<$URI#chunk>\"*[A-Za-z0-9+/=]*" | sed 's/.*>"*//' | base64 -d
}
start_first_session
editor_in_qtractor_window "Quillograph - Analysed"
"$EDITOR_REFERENCE" chunk-picture "$WORK/first.png" "$WORK/first.chunk" || fail "no reference picture"
same_picture "$EDITOR" "$WORK/first.png" opened || qtractor_failed "the editor does not show the saved settings and colours"
echo "the editor shows the session's settings and colours"

pause_save_and_reopen "$URI"

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
