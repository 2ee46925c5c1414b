#!/usr/bin/env bash
# Profiles followed by the program in front: a Profiles folder with two profiles that differ in
# their DPI levels only, one for notepad.exe and one Default. Starting Notepad in the Wine
# desktop switches to its profile, closing it switches back to the Default one, each with the
# DPI write alone on the wire; the tray's Profiles submenu switches by hand.
#
#   ui_profiles.sh DEMO_DIR OUT_DIR
# shellcheck source=ui_common.sh
. "$(dirname "${BASH_SOURCE[0]}")/ui_common.sh" profiles "$1" "$2"
export QOR_DEMO_SENSOR_TYPE=1

profile() { # name general-lines stage1-level
    printf '[General]\r\n%s\r\n[DPI]\r\nSensorType = 1\r\nStage1Level = %s\r\n' "$2" "$3" \
        >"$app/Profiles/$1.ini"
}
mkdir -p "$app/Profiles"
profile Desk "Default = yes" 800
profile Writing "Programs = notepad.exe" 1600

# The lines of the trace from line N on that are transfers.
transfers_from() { tail -n +"$1" "$trace" | grep -E '^(set_feature|get_feature|write|read) ' || true; }
lines() { wc -l <"$trace"; }
# Waits up to 15 s for stage 1's level byte in config.bin to become $1.
stage1_becomes() {
    local end=$(($(date +%s) + 15))
    while [ "$(date +%s)" -le "$end" ]; do
        [ "$(record_byte 1927)" = "$1" ] && return 0
        sleep 0.2
    done
    return 1
}
# Only DPI-stage writes (command 0x11) among the transfers from line N on, and at least one.
only_dpi_writes_from() {
    local sent others
    sent=$(transfers_from "$1")
    others=$(grep -cvE '^(set_feature 11|write|flush)' <<<"$sent" || true)
    [ -n "$sent" ] && grep -q '^set_feature 11' <<<"$sent" && [ "$others" = 0 ]
}

step="start"
"$driver" start "$app" | sed "s/^/[$step] /"
# The active profile's name in str.ini becomes $1 within 15 s.
active_becomes() {
    local end=$(($(date +%s) + 15))
    while [ "$(date +%s)" -le "$end" ]; do
        text_of str.ini | grep -qx "ActiveProfile=$1" && return 0
        sleep 0.2
    done
    return 1
}
# Nothing in front but the desktop: the Default profile comes in.
active_becomes Desk || fail "the Default profile did not come in with nothing in front"
desk=$(record_byte 1927)
log "the Default profile in use; stage 1's level byte: $desk"

step="notepad"
mark=$(($(lines) + 1))
"$wine_run" explorer "/desktop=shell,$QOR_UI_DESKTOP" notepad.exe >/dev/null 2>&1 &
sleep 1
end=$(($(date +%s) + 20))
until [ "$(record_byte 1927)" != "$desk" ] || [ "$(date +%s)" -gt "$end" ]; do sleep 0.2; done
writing=$(record_byte 1927)
[ "$writing" != "$desk" ] || fail "starting Notepad did not bring in its profile"
active_becomes Writing || fail "str.ini does not name Notepad's profile as the active one"
sleep 1
only_dpi_writes_from "$mark" || fail "the switch to Notepad's profile sent more than the DPI write: $(transfers_from "$mark" | cut -c1-20 | sort | uniq -c | xargs)"
"$driver" shot "$out/ui-profiles-notepad.png"
log "Notepad in front: its profile, and only the DPI write on the wire"

step="back"
mark=$(($(lines) + 1))
"$wine_run" taskkill /f /im notepad.exe >/dev/null 2>&1 || true
stage1_becomes "$desk" || fail "closing Notepad did not bring the Default profile back"
sleep 1
only_dpi_writes_from "$mark" || fail "the switch back sent more than the DPI write"
log "Notepad closed: the Default profile, only the DPI write"

step="tray"
# The switch's balloon would cover the menu.
if "$driver" balloon 5 >/dev/null; then "$driver" dismiss-balloon; fi
mark=$(($(lines) + 1))
menu=$("$driver" menu)
# The pointer on "Profiles" (the line under the version and its separator) opens the submenu:
# Desk, Writing, a separator and the three commands, a line of about 17 pixels each.
xdotool mousemove --window "$menu" 40 36
submenu=""
for _ in $(seq 1 25); do
    submenu=$(xdotool search --onlyvisible --pid "$("$driver" pid)" 2>/dev/null |
        while read -r w; do
            [ "$w" = "$menu" ] && continue
            g=$(xdotool getwindowgeometry "$w" 2>/dev/null | sed -n 's/.*Geometry: //p')
            [ -n "$g" ] && [ "${g%x*}" -lt 300 ] && [ "${g#*x}" -lt 160 ] && echo "$w"
        done | head -1)
    [ -n "$submenu" ] && break
    sleep 0.2
done
[ -n "$submenu" ] || fail "the Profiles submenu did not open"
"$driver" shot "$out/ui-profiles-tray-menu.png"
read -r sx sy < <(xwininfo -id "$submenu" |
    awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF } END { print x, y }')
xdotool mousemove $((sx + 40)) $((sy + 26)) click 1
stage1_becomes "$writing" || fail "choosing Writing in the tray's Profiles submenu did not use it"
sleep 1
only_dpi_writes_from "$mark" || fail "the switch by hand sent more than the DPI write"
log "the tray's submenu switched to Writing by hand, with the DPI write alone"
"$driver" quit || fail "Exit from the tray menu did not end the program"
log "done"
