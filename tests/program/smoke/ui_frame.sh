#!/usr/bin/env bash
# The main window's frame in the demo Qor.exe, driven through tools/ui-driver in a Wine desktop:
# it opens from the tray, a press and drag on the background moves it, the minimise button and
# Enter hide it; the emulated mouse's wire trace (QOR_DEMO_TRACE) is on disk while the program
# runs, from the handshake on, and reports the sensor type QOR_DEMO_SENSOR_TYPE set.
#
#   ui_frame.sh DEMO_DIR OUT_DIR
# shellcheck source=ui_common.sh
. "$(dirname "${BASH_SOURCE[0]}")/ui_common.sh" frame "$1" "$2"
export QOR_DEMO_SENSOR_TYPE=3

pos() { "$driver" window-pos; }
still_in_tray() {
    "$driver" running || fail "the program ended"
    "$driver" tray >/dev/null || fail "the tray icon went away"
}

step="start"
"$driver" start "$work/app" | sed "s/^/[$step] /"
"$driver" visible && fail "the window shows after start-up"

step="trace"
[ -s "$trace" ] || fail "no trace in $trace while the program runs"
# Every line is a transfer, a pause or a comment in the trace format.
bad=$(grep -nvE '^((set|get)_feature( [0-9a-f]{2}){8}|(write|read)( [0-9a-f]{2}){32}|sleep [0-9]+|#.*)$' \
    "$trace" | head -3) || true
[ -z "$bad" ] || fail "lines outside the trace format: $bad"
# The handshake comes first: the plain probe carrying the magic, then a pause.
head -2 "$trace" | tr '\n' '|' | grep -qE '^set_feature 00 c6 93 2f 71 ([0-9a-f]{2} ){2}[0-9a-f]{2}\|sleep [0-9]+\|$' ||
    fail "the trace does not begin with the handshake probe: $(head -2 "$trace" | tr '\n' '|')"
# The read-back of the sensor and rate bytes answers with the sensor type of the environment.
grep -qE '^get_feature 83 03 ' "$trace" ||
    fail "no answer with sensor type 3 to the read of command 83: $(grep '^get_feature 83' "$trace")"
log "$(wc -l <"$trace") lines, from the handshake on"

step="second_instance"
# A second start with the same trace file ends at once and leaves the running one's trace whole.
before=$(cat "$trace")
code=0
(cd "$work/app" && timeout 60 "$wine_run" Qor.exe >/dev/null 2>&1) || code=$?
[ "$code" -eq 0 ] || fail "the second instance ended with code $code"
still_in_tray
[ "$(head -c ${#before} "$trace")" = "$before" ] || fail "the second instance rewrote the trace"
log "the trace of the running instance is untouched"

step="open"
"$driver" open
"$driver" shot "$out/ui-frame-open.png"
log "shown at $(pos)"

step="drag"
read -r x0 y0 < <(pos)
"$driver" press 450 20
sleep 0.5
[ "$(pos)" = "$x0 $y0" ] || fail "a press without a move moved the window to $(pos)"
"$driver" drag 450 20 60 45
read -r x1 y1 < <(pos)
[ "$x1 $y1" = "$((x0 + 60)) $((y0 + 45))" ] ||
    fail "dragged by 60,45 from $x0,$y0, the window is at $x1,$y1"
"$driver" drag 450 20 -40 -25
read -r x2 y2 < <(pos)
[ "$x2 $y2" = "$((x1 - 40)) $((y1 - 25))" ] ||
    fail "dragged by -40,-25 from $x1,$y1, the window is at $x2,$y2"
"$driver" visible || fail "the window went away while dragged"
"$driver" shot "$out/ui-frame-dragged.png"
log "the background drags the window: $x0,$y0 -> $x1,$y1 -> $x2,$y2"

step="minimise"
"$driver" press 834 14
hidden_soon "the minimise button"
still_in_tray
log "the minimise button hides the window into the tray"

step="enter"
"$driver" open
"$driver" key Return
hidden_soon "Enter"
still_in_tray
log "Enter hides the window"

step="quit"
lines=$(wc -l <"$trace")
"$driver" quit || fail "Exit from the tray menu did not end the program"
log "Exit ended the program; the trace holds $lines lines"
