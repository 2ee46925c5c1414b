#!/usr/bin/env bash
# The Basic Settings page of the demo Qor.exe worked as a user works it, through tools/ui-driver:
# a DPI step and a stage turned off reach config.bin and the mouse on OK; Mode B, "DPI Switch"
# with its side list and "Shift DPI" reach config.bin, str.ini and the key matrix on Apply; the
# Left Click guard warns; a lighting mode and effect chosen from their lists are applied; Cancel
# leaves config.bin and the page as they were; the page buttons switch pages and back.
#
#   ui_basic.sh DEMO_DIR OUT_DIR
# shellcheck source=ui_common.sh
. "$(dirname "${BASH_SOURCE[0]}")/ui_common.sh" basic "$1" "$2"
# Sensor type 1: eight DPI steps, 600 to 3200.
export QOR_DEMO_SENSOR_TYPE=1

# config.bin holds the first-run flag and then the settings record.
expect_byte() { # offset value what
    local v
    v=$(record_byte "$1")
    [ "$v" = "$2" ] || fail "$3 is $v in config.bin, not $2"
}
# The data block that follows the last `set_feature CMD [ARG]` in the trace, as hex bytes.
last_block() {
    grep -A1 -E "^set_feature $1 " "$trace" | grep '^write' | tail -1 | cut -d' ' -f2-
}
str_ini() { text_of str.ini; }
# Client points of the page: DPI stage k's step s and its "Select" box; the buttons.
dpi_step() { echo $((562 + 27 * ($1 - 1))) $((508 - 18 * ($2 - 1))); }
dpi_select() { echo $((562 + 27 * ($1 - 1))) 549; }
OK="565 619" APPLY="669 619" CANCEL="765 619" MODE_A="305 528" MODE_B="409 528"
press() { "$driver" press "$@"; sleep 0.3; }
shot() { "$driver" shot "$out/ui-basic-$1.png" window; }
# The same region of two window shots, pixel for pixel.
same_region() { # a b geometry
    local diff
    diff=$(compare -metric AE -extract "$3" "$1" "$2" null: 2>&1) || true
    [ "$diff" = 0 ]
}

step="start"
"$driver" start "$app" | sed "s/^/[$step] /"
"$driver" open
shot open

step="dpi"
# Stage 2 to step 5 (1600), stage 3 off, then OK: saved, sent and the window hides.
# shellcheck disable=SC2046
press $(dpi_step 2 5)
# shellcheck disable=SC2046
press $(dpi_select 3)
shot dpi
# shellcheck disable=SC2086
press $OK
hidden_soon "OK"
expect_byte 1928 4 "stage 2's step"
expect_byte 1933 0 "stage 3's switch"
read -r -a codes <<<"$(last_block 11)"
[ "${codes[1]:-}" = 05 ] || fail "stage 2's code sent is '${codes[1]:-}', not 05: ${codes[*]}"
((0x${codes[2]:-0} & 0x80)) || fail "stage 3 was sent switched on: ${codes[*]}"
log "stage 2 at 1600 and stage 3 off in config.bin and on the wire (${codes[*]:0:4})"

step="dpi_switch"
"$driver" open
# shellcheck disable=SC2086
press $MODE_B
# shellcheck disable=SC2046
press $(key_row 3)
# Over "DPI Switch" (item 6) the side list opens beside it; its fourth entry is "Shift DPI".
# shellcheck disable=SC2046
"$driver" hover $(list_item 3 6)
shot side-list
read -r _ y6 <<<"$(list_item 3 6)"
press 490 $((y6 + 14 * 3))
shot shift-dpi
# shellcheck disable=SC2086
press $APPLY
sleep 2
"$driver" visible || fail "Apply hid the window"
expect_byte 1960 1 "the active key set"
expect_byte $((192 + 2)) 6 "Mode B's function of button 3"
expect_byte $((1973 + 2)) 4 "Mode B's DPI switch of button 3"
str_ini | sed -n '/^\[Setting-EN\]/,/^\[/p' | grep -qx 'Item33=Shift DPI' ||
    fail "str.ini's English section has no Item33=Shift DPI: $(str_ini | grep Item33)"
if str_ini | sed -n '/^\[Setting-CHS\]/,/^\[/p' | grep -qx 'Item33=Shift DPI'; then
    fail "the row text went into a section of another language"
fi
read -r -a matrix <<<"$(last_block '12 01')"
[ "${matrix[*]:8:4}" = "07 00 04 01" ] ||
    fail "button 3's word in key matrix 1 is '${matrix[*]:8:4}', not 07 00 04 01"
log "Shift DPI on button 3 of Mode B: config.bin, str.ini and the key matrix"

step="guard"
# The first button may not lose its left click: its row warns instead of opening a list.
# shellcheck disable=SC2046
press $(key_row 1)
"$driver" box Warning >/dev/null || fail "no Warning box for the first key row"
shot guard
"$driver" dismiss-box Warning
"$driver" visible || fail "the window went away with the Warning box"
log "row 1 warns"

step="lighting"
press 805 336  # the Mode box
press 805 383  # "Neon", its third entry
press 805 397  # the Effect box, there at once
press 805 429  # its second entry
shot lighting
# shellcheck disable=SC2086
press $APPLY
sleep 2
expect_byte 1947 3 "the lighting mode"
expect_byte $((1951 + 2)) 3 "Neon's effect"
log "Neon with its second effect"

step="cancel"
sleep 0.5
"$driver" shot "$work/before.png" window
before=$(md5sum <"$app/config.bin")
# shellcheck disable=SC2046
press $(dpi_step 1 8)
# shellcheck disable=SC2086
press $MODE_A
press 805 336
press 805 355 # "Standard"
"$driver" shot "$work/edited.png" window
region=400x450+250+150
if same_region "$work/before.png" "$work/edited.png" "$region"; then
    fail "the edits did not show on the page"
fi
# shellcheck disable=SC2086
press $CANCEL
hidden_soon "Cancel"
[ "$(md5sum <"$app/config.bin")" = "$before" ] || fail "Cancel changed config.bin"
"$driver" open
sleep 0.5
"$driver" shot "$work/after.png" window
same_region "$work/before.png" "$work/after.png" "$region" ||
    fail "the page after Cancel differs from the page before the edits"
log "config.bin and the page are as before the edits"

step="pages"
pages=880x500+0+100
# Until the page has been drawn (a loaded machine draws late), at most about 5 s.
shot_until() { # file same|differs
    local i
    for i in $(seq 1 10); do
        "$driver" shot "$1" window
        if same_region "$work/after.png" "$1" "$pages"; then
            [ "$2" = same ] && return 0
        else
            [ "$2" = differs ] && return 0
        fi
        sleep 0.5
    done
    return 1
}
press 90 75
shot_until "$out/ui-basic-advanced.png" differs || fail "Next did not change the page"
press 40 75
shot_until "$work/back.png" same || fail "Previous did not bring the Basic page back as it was"
log "Next and Previous"

step="quit"
"$driver" quit || fail "Exit from the tray menu did not end the program"
log "done"
