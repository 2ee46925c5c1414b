#!/usr/bin/env bash
# The skinned dialogs of the demo Qor.exe worked as a user works them, through tools/ui-driver:
# each key dialog opened from a key row and confirmed (a key and a combo captured by typing),
# the binding words of the following Apply read in the wire trace; Cancel leaves a row as it
# was; the skin dialog switches skin and text colour, str.ini keeps them and a restart comes up
# in them; a skin without "/fire-key.png" shows the "error" box and the program carries on.
#
#   ui_dialogs.sh DEMO_DIR OUT_DIR
# shellcheck source=ui_common.sh
. "$(dirname "${BASH_SOURCE[0]}")/ui_common.sh" dialogs "$1" "$2"

press() { "$driver" press "$@"; sleep 0.3; }
dpress() { "$driver" dialog-press "$@"; sleep 0.2; }
APPLY="669 619" SKINS="710 14"
DIALOG_OK="200 263" DIALOG_CANCEL="320 263"
# Opens the dialog of function `position` from row r.
open_dialog() { # row position
    # shellcheck disable=SC2046
    press $(key_row "$1")
    # shellcheck disable=SC2046
    press $(list_item "$1" "$2")
    "$driver" dialog >/dev/null || fail "no dialog for function $2 of row $1"
}
confirm() {
    # shellcheck disable=SC2086
    dpress $DIALOG_OK
    "$driver" no-dialog || fail "OK did not end the dialog"
}
# Button b's (from 0) word in key matrix 1 of the last apply.
word() {
    grep -A1 -E '^set_feature 12 01 ' "$trace" | grep '^write' | tail -1 | cut -d' ' -f2- |
        awk -v b="$1" '{ print $(4*b+1), $(4*b+2), $(4*b+3), $(4*b+4) }'
}
apply() {
    local before
    before=$(grep -c '^set_feature 12 01 ' "$trace" || true)
    # shellcheck disable=SC2086
    press $APPLY
    local end=$(($(date +%s) + 20))
    while [ "$(grep -c '^set_feature 12 01 ' "$trace" || true)" -le "$before" ]; do
        [ "$(date +%s)" -le "$end" ] || fail "no key matrix on the wire after Apply"
        sleep 0.2
    done
    sleep 1
}
str_ini() { text_of str.ini; }
pixel() { # file x y -> "R G B"
    convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:
}
# Shoots the window into FILE until its title plate shows the ember of the second skin (a
# shown window may not have painted yet on a busy machine); fails after 15 s.
expect_ember() { # file what
    local r g b end=$(($(date +%s) + 15))
    while :; do
        "$driver" shot "$1" window
        read -r r g b <<<"$(pixel "$1" 300 62)"
        [ "$r" -gt $((g + 60)) ] && return 0
        [ "$(date +%s)" -le "$end" ] || fail "$2 the title plate is $r $g $b, not ember"
        sleep 0.5
    done
}

step="start"
# The second skin loses its fire key image: its dialog must fail cleanly there.
rm "$app/Skins/Ember/fire-key.png"
"$driver" start "$app" | sed "s/^/[$step] /"
"$driver" open

step="key_dialogs"
# Row 2: macro key, confirmed without a choice.
open_dialog 2 13
"$driver" dialog-shot "$out/ui-dialog-macro.png"
confirm
# Row 3: fire key, confirmed at once.
open_dialog 3 10
"$driver" dialog-shot "$out/ui-dialog-fire.png"
confirm
# Row 4: multimedia, confirmed at once.
open_dialog 4 9
confirm
# Row 5: Windows, "Calculator" (the third entry) from its list.
open_dialog 5 8
dpress 100 136
"$driver" dialog-shot "$out/ui-dialog-windows-list.png"
dpress 100 181
confirm
# Row 6: a single key, typed.
open_dialog 6 11
"$driver" dialog-key a
"$driver" dialog-shot "$out/ui-dialog-single.png"
confirm
# Row 7: Left Ctrl from the modifier list, then C typed into the first key's field.
open_dialog 7 12
dpress 91 77
dpress 91 94
"$driver" dialog-key c
"$driver" dialog-shot "$out/ui-dialog-combo.png"
confirm
"$driver" shot "$out/ui-dialogs-rows.png" window
apply
expected=("" "09 00 01 00" "0a 04 20 01" "03 00 b5 00" "03 00 92 01" "00 00 04 00" "00 01 06 00")
for b in 1 2 3 4 5 6; do
    [ "$(word $b)" = "${expected[$b]}" ] ||
        fail "button $((b + 1))'s binding word is '$(word $b)', not '${expected[$b]}'"
done
log "macro, fire, multimedia, Windows, single and combo: $(word 1) | $(word 2) | $(word 3) | $(word 4) | $(word 5) | $(word 6)"

step="cancel"
rows_before=$(str_ini | grep -E '^Item[1-7]=')
open_dialog 3 11
"$driver" dialog-key q
# shellcheck disable=SC2086
dpress $DIALOG_CANCEL
"$driver" no-dialog || fail "Cancel did not end the dialog"
open_dialog 4 12
dpress 361 15 # the close image
"$driver" no-dialog || fail "the close image did not end the dialog"
apply
[ "$(word 2)" = "${expected[2]}" ] || fail "Cancel changed button 3 to $(word 2)"
[ "$(word 3)" = "${expected[3]}" ] || fail "the close image changed button 4 to $(word 3)"
[ "$(str_ini | grep -E '^Item[1-7]=')" = "$rows_before" ] || fail "the row texts changed"
log "Cancel and the close image leave the rows as they were"

step="skin"
"$driver" shot "$work/obsidian.png" window
# shellcheck disable=SC2086
press $SKINS
"$driver" dialog >/dev/null || fail "the Skins button opened no dialog"
"$driver" dialog-shot "$out/ui-dialog-skins.png"
# The colour box opens the system's colour dialog: a basic colour, then its OK.
dpress 50 102
colours=""
for _ in $(seq 1 50); do
    colours=$(xdotool search --onlyvisible --name '^Color$' 2>/dev/null | head -1) || true
    [ -n "$colours" ] && break
    sleep 0.1
done
[ -n "$colours" ] || fail "the colour box opened no colour dialog"
xdotool mousemove --window "$colours" 22 72 click 1
sleep 0.3
xdotool key Return
sleep 0.5
# The folder list: the entry that is not the skin in use (the search decides the order).
dpress 100 136
dpress 100 154
"$driver" dialog-shot "$out/ui-dialog-skins-chosen.png"
# shellcheck disable=SC2086
dpress $DIALOG_OK
"$driver" no-dialog || fail "OK did not end the skin dialog"
if str_ini | grep -qx 'Path=Obsidian'; then
    press $SKINS
    dpress 100 136
    dpress 100 168
    # shellcheck disable=SC2086
    dpress $DIALOG_OK
fi
str_ini | grep -qx 'Path=Ember' || fail "str.ini holds $(str_ini | grep '^Path=')"
colour=$(str_ini | sed -n 's/^\([RGB]Color\)=/\1 /p' | tr '\n' ' ')
[ "$colour" != "RColor 214 GColor 228 BColor 240 " ] || fail "the text colour stayed $colour"
"$driver" visible || fail "the window is not shown after the skin dialog"
expect_ember "$out/ui-dialogs-ember.png" "after the skin dialog"
log "Ember with $colour"

step="missing_image"
# shellcheck disable=SC2046
press $(key_row 3)
# shellcheck disable=SC2046
press $(list_item 3 10)
"$driver" box 'FireKey Dialog Load background image failed!!!' >/dev/null ||
    fail "no error box for the missing fire key image"
"$driver" shot "$out/ui-dialogs-missing-image.png"
"$driver" dismiss-box 'FireKey Dialog Load background image failed!!!'
"$driver" no-dialog || fail "a dialog stayed after its error box"
"$driver" visible || fail "the window went away"
open_dialog 4 9
confirm
log "the error box, then the program carries on"

step="restart"
"$driver" quit || fail "Exit did not end the program"
"$driver" start "$app" | sed "s/^/[$step] /"
"$driver" open
expect_ember "$out/ui-dialogs-restarted.png" "after a restart"
"$driver" quit || fail "Exit did not end the program"
log "the restart comes up in the chosen skin"
