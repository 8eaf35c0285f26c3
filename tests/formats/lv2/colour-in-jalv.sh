#!/usr/bin/env bash
# In jalv.gtk3, a right click with shift on the editor opens the colour chooser as a window of
# its own titled "Background Color", which has the keyboard: what the user types there (red,
# green, blue, Enter) becomes the background the editor draws and the state jalv saves.
source "$(dirname "$0")/lv2-host-lib.sh"
start_x
start_jack

start_jalv "$WORK/jalv.log" jalv.gtk3
editor=$(window_named Vireo) || fail "the editor did not appear: $(cat "$WORK/jalv.log")"
xdotool mousemove --window "$editor" 100 50 keydown shift click 3 keyup shift
prompt=$(window_named "Background Color") || fail "no colour chooser after a right click with shift"
echo "colour chooser $prompt over the editor $editor"
xdotool type --delay 30 30
xdotool key Tab
xdotool type --delay 30 60
xdotool key Tab
xdotool type --delay 30 90
xdotool key Return
wait_for 50 sh -c "! xdotool search --onlyvisible --name '^Background Color\$'" || fail "the colour chooser stayed"
kill -0 "$JALV_PID" || fail "jalv died with the colour chooser"

save_state coloured
chunk_of "$WORK/coloured/state.ttl" >"$WORK/coloured.chunk"
background=$(od -An -td4 -j32 -N16 "$WORK/coloured.chunk" | tr -s ' ' | sed 's/^ //; s/ $//')
[ "$background" = "255 30 60 90" ] || fail "the saved background is $background"
"$EDITOR_REFERENCE" chunk-picture "$WORK/coloured.png" "$WORK/coloured.chunk" || fail "no reference picture"
same_picture "$editor" "$WORK/coloured.png" coloured || fail "the editor does not show the chosen background"
echo "the typed colour is the editor's background and is in the saved state"
stop_jalv
echo PASS
