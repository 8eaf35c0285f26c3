#!/usr/bin/env bash
# Quillograph.clap in a real DAW: Qtractor's plug-in scanner lists it, Qtractor opens a
# session with it on an audio track, the editor opens inside Qtractor's window with the
# session's settings and colours, a click in it pauses the view, Ctrl+S saves the session with
# that in the parameter and in the state, and the saved session opens again with the same
# picture and saves the same state again.
: "${LV2_BUNDLES:=}"
source "$(dirname "${BASH_SOURCE[0]}")/../lv2/lv2-host-lib.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../qtractor-lib.sh"
command -v qtractor >/dev/null || { echo "SKIP: qtractor is not installed"; exit 77; }
TEMPLATE=$(dirname "${BASH_SOURCE[0]}")/qtractor-session.qtr
CLAP_FILE=${CLAP_FILE:?the built Quillograph.clap}
SCANNER=${QTRACTOR_SCANNER:-/usr/lib/x86_64-linux-gnu/qtractor/qtractor_plugin_scan}
export CLAP_PATH=$(dirname "$CLAP_FILE")

# session FILE CHUNK: our template with the state Qtractor keeps for a CLAP plug-in, the
# plug-in's state bytes, and the same values as its parameters.
session() {
    local v
    read -r -a v <<<"$(values_of "$2")"
    mkdir -p "$(dirname "$1")"
    sed -e "s|@DIRECTORY@|$(dirname "$1")|; s|@CLAP_FILE@|$CLAP_FILE|; s|@STATE@|$(qtractor_value <"$2")|" \
        -e "s|@EDITOR_POS@|1040,100|; s|@DOMAIN@|${v[0]}|; s|@V_SCALE@|${v[1]}|; s|@FFT_ZOOM@|${v[2]}|; s|@PAUSE@|${v[3]}|" \
        "$TEMPLATE" >"$1"
}

# The state bytes in a session Qtractor saved.
saved_chunk() {
    perl -MCompress::Zlib -MMIME::Base64 -0777 -ne \
        'm{<config key="state">([^<]*)</config>} or exit 1;
         print uncompress(substr(decode_base64($1), 4)) // exit 1' "$1"
}

# The scanner Qtractor runs on every plug-in file it finds lists ours as it is.
listed=$(echo "CLAP:$CLAP_FILE" | timeout 30 "$SCANNER") || fail "Qtractor's scanner failed on $CLAP_FILE"
echo "scanner: $listed"
[[ $listed == "CLAP|Quillograph|2:2|0:0|4:0|GUI,EXT,RT|$CLAP_FILE|0|"* ]] ||
    fail "Qtractor's scanner lists $listed"

start_first_session
grep -q "qtractorClapPlugin.*could not" "$WORK/qtractor.log" && qtractor_failed "Qtractor could not open the editor"
editor_in_qtractor_window "Quillograph"
# Qtractor's editor window with the editor in it, and the whole screen, for a person to look at.
if [ -n "${SCREENSHOT:-}" ]; then
    import -window "${parent%% *}" "$SCREENSHOT" || echo "no screenshot of $parent"
    import -window root "${SCREENSHOT%.png}-screen.png" || echo "no screenshot of the screen"
fi
"$EDITOR_REFERENCE" chunk-picture "$WORK/first.png" "$WORK/first.chunk" || fail "no reference picture"
same_picture "$EDITOR" "$WORK/first.png" opened || qtractor_failed "the editor does not show the saved settings and colours"
echo "the editor shows the session's settings and colours"

pause_save_and_reopen "$CLAP_FILE"
# What the plug-in told Qtractor's log (a host breaking the format's thread rules, say).
if grep "clap_log" "$WORK/qtractor.log"; then fail "the plug-in logged the messages above in Qtractor"; fi
echo PASS
