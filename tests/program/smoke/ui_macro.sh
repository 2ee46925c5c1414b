#!/usr/bin/env bash
# The macro area of the Advanced Settings page of the demo Qor.exe worked as a user works it,
# through tools/ui-driver: "Start Recording" without a macro; a macro made by typing a name,
# "New", recording keys and stopping with Ctrl+Break, editing a delay in the delay dialog and
# inserting a mouse event, then "Confirm" and OK: record.ini holds the lines, and the macro's
# slot in config.bin and on the wire holds their encoding; a second macro whose 65th recorded
# event ends the recording, and whose last line the context menu deletes.
#
#   ui_macro.sh DEMO_DIR OUT_DIR
# shellcheck source=ui_common.sh
. "$(dirname "${BASH_SOURCE[0]}")/ui_common.sh" macro "$1" "$2"

press() { "$driver" press "$1" "$2"; }
shot() { "$driver" shot "$out/ui-macro-$1.png" window; }
# The message box titled $1 appears; Enter closes it.
box_shown() {
    "$driver" box "$1" 10 >/dev/null || fail "no message box titled '$1'"
    "$driver" dismiss-box "$1"
}
# The lines of section $1 of record.ini (UTF-16 with a byte-order mark), without line ends.
section() {
    text_of record.ini | awk -v s="[$1]" '$0 == s { on = 1; next } /^\[/ { on = 0 } on'
}
# The section names of record.ini, in file order.
sections() { text_of record.ini | sed -n 's/^\[\(.*\)\]$/\1/p'; }
# The bytes of macro slot N: in config.bin (after the first-run byte, at 384 + 128 (N - 1) in
# the record), and the 128 bytes written after the last "write macro slot N" command.
slot_in_file() { od -An -tx1 -v -j $((1 + 384 + 128 * ($1 - 1))) -N 128 "$app/config.bin" | xargs; }
slot_on_wire() {
    grep -A8 -E "^set_feature 13 0$(printf '%x' "$1") " "$trace" | grep '^write' | tail -4 |
        cut -d' ' -f2- | xargs
}

# The page's places (client points).
name_box=(565 201)
new=(565 538)
confirm=(773 538)
start=(749 243)
event_box=(794 409)
ok=(565 619)
sequence_line() { echo $((256 + 14 * $1)); } # the centre of line N (from 0)
event_entry() { echo $((427 + 14 * $1)); }   # the centre of entry N of the event list

step="start"
"$driver" start "$app" | sed "s/^/[$step] /"
"$driver" open
press 90 75

step="blank"
press "${start[@]}"
box_shown Warning
log "Start Recording without a macro: \"Macro name is blank\""

step="record"
press "${name_box[@]}"
"$driver" type Test
press "${new[@]}"
press "${start[@]}"
box_shown Qor # "Start Recording"; Enter's release is the first thing recorded
"$driver" keys a b
shot recording
"$driver" keys ctrl+Pause
box_shown Qor # "Stop Recording"
"$driver" keys c # after the stop: not recorded

step="delay"
"$driver" double-press 660 "$(sequence_line 3)"
"$driver" dialog 10 >/dev/null || fail "no delay dialog after a double click on a delay"
"$driver" dialog-type 120
"$driver" dialog-shot "$out/ui-macro-delay.png"
"$driver" dialog-press 200 263
"$driver" no-dialog 10 || fail "the delay dialog did not close on OK"

step="event"
press "${event_box[@]}"
"$driver" hover 790 "$(event_entry 1)"
shot event-list
press 790 "$(event_entry 1)" # R-Button Click, after the selected delay
press "${confirm[@]}"
shot confirmed
press "${ok[@]}"
hidden_soon "OK"

expected_lines="MacroLoopTimes=1
ItemCount=13
Item0=50 ms
Item1=Return   Up
Item2=A   Dn
Item3=120 ms
Item4=R-Button   Dn
Item5=50 ms
Item6=R-Button   Up
Item7=50 ms
Item8=A   Up
Item9=50 ms
Item10=B   Dn
Item11=50 ms
Item12=B   Up"
[ "$(section Test)" = "$expected_lines" ] ||
    fail "record.ini holds [Test]:
$(section Test)"
log "record.ini holds the recorded, edited and inserted lines"

# Loop count 1, then the events as pairs of a code and a pause in 10-ms units: the Enter
# release, A down after 120 ms, the right button down and up, A up, B down and up.
expected_slot="00 01 80 00 0c 04 05 f1 85 f1 85 04 05 05 80 05$(printf ' 00%.0s' $(seq 1 112))"
[ "$(slot_in_file 1)" = "$expected_slot" ] || fail "slot 1 in config.bin: $(slot_in_file 1)"
[ "$(slot_on_wire 1)" = "$expected_slot" ] || fail "slot 1 on the wire: $(slot_on_wire 1)"
log "slot 1 in config.bin and on the wire: ${expected_slot:0:47} ..."

step="limit"
"$driver" open
press 90 75
press "${name_box[@]}"
"$driver" type 2 # a second name beside "Test", wherever the caret is
press "${new[@]}"
press "${start[@]}"
box_shown Qor
# shellcheck disable=SC2046
"$driver" keys $(printf 'a %.0s' $(seq 1 31)) # 62 events after Enter's release
"$driver" keys b # its press is the 64th event, its release the 65th, which ends the recording
box_shown Qor
"$driver" keys c # after the stop: not recorded
shot gauge-warning
# The context menu over the last line deletes it alone: B's press; its delay stays.
"$driver" right-press 660 "$(sequence_line 18)" # the list shows its end: rows 0 to 18
"$driver" menu-press 1
press "${confirm[@]}"
for _ in $(seq 1 50); do # Confirm's write lands after the click
    [ "$(sections | wc -l)" = 2 ] && break
    sleep 0.1
done
long=$(sections | tail -1)
lines=$(section "$long")
count=$(sed -n 's/^ItemCount=//p' <<<"$lines")
last=$(tail -1 <<<"$lines")
[ "$count" = 126 ] || fail "[$long] holds $count items, not the 64 events' 127 less one"
[ "$last" = "Item125=50 ms" ] || fail "[$long] ends with '$last'"
log "the 65th event ended the recording with 127 lines; the context menu took the last"

step="quit"
"$driver" quit || fail "Exit from the tray menu did not end the program"
log "done"
