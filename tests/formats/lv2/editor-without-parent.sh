#!/usr/bin/env bash
# jalv's console front end offers no parent window: the editor opens as a window of its own,
# shows the headless editor's picture, and that window closed while audio runs leaves jalv
# running without it until it is stopped, then ending cleanly.
source "$(dirname "$0")/lv2-host-lib.sh"
start_x
start_jack

start_jalv "$WORK/jalv.log" jalv -s -c domain=0 -c v_scale=0.5
editor=$(window_named Quillograph) || fail "the editor window did not appear: $(cat "$WORK/jalv.log")"
reference "$WORK/time.png" 0 0.5 0 0
same_picture "$editor" "$WORK/time.png" time || fail "the editor differs from the headless picture"
echo "a window of its own, with the headless editor's picture"

xdotool windowclose "$editor"
sleep 1
kill -0 "$JALV_PID" 2>/dev/null || fail "jalv died when its editor window was closed: $(cat "$WORK/jalv.log")"
stop_jalv
echo "closing the window left jalv running; stopped, it ended cleanly"
echo PASS
