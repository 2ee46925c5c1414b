#!/usr/bin/env bash
# The pointer area of the Advanced Settings page of the demo Qor.exe worked as a user works it,
# through tools/ui-driver: "Default", then both check boxes and a step on each slider, then OK:
# config.bin holds the positions and the system reports their values (asked by a small program
# in the same Wine session); "Default" again and OK bring the default positions back.
#
#   ui_advanced.sh DEMO_DIR OUT_DIR
# shellcheck source=ui_common.sh
. "$(dirname "${BASH_SOURCE[0]}")/ui_common.sh" advanced "$1" "$2"

# The five pointer bytes of the record (precision, one screen, speed, lines, double-click);
# config.bin holds the first-run flag before the record.
pointer_bytes() { od -An -tu1 -j 1956 -N5 "$app/config.bin" | xargs; }
press() { "$driver" press "$1" "$2"; }
# What the system reports now: "params=T1,T2,A doubleclick=MS". Wine reports neither a pointer
# speed set without SPIF_UPDATEINIFILE (0, even to the process that set it) nor WHEEL_PAGESCROLL
# to another process (2147483647): those two are left to Windows, and logged.
system_reports() {
    local all
    all=$("$wine_run" "${QOR_SPI_PROBE:?the probe program}" 2>/dev/null | tr -d '\r')
    echo "[$step] the system reports: $all" >&2
    tr ' ' '\n' <<<"$all" | grep -E '^(params|doubleclick)=' | xargs
}
shot() { "$driver" shot "$out/ui-advanced-$1.png" window; }
# Step j (from 1) of slider row r (from 0): its centre.
step_x() { echo $((52 + 24 * ($1 - 1) + 12)); }
row_y() { echo $((200 + 150 * $1 + 5)); }

step="start"
"$driver" start "$app" | sed "s/^/[$step] /"
"$driver" open
press 90 75
shot read

step="positions"
press 246 583                       # Default: a known start whatever the system had
press 59 263                        # Enhance Pointer Precision on
press 59 413                        # Scroll One Screen on
press "$(step_x 11)" "$(row_y 0)"   # Mouse Speed 11
press "$(step_x 5)" "$(row_y 1)"    # Scrolling Speed 5
press "$(step_x 9)" "$(row_y 2)"    # Double-Click Speed 9
shot positions
press 565 619                       # OK
hidden_soon "OK"
[ "$(pointer_bytes)" = "1 1 11 5 9" ] || fail "config.bin holds $(pointer_bytes), not 1 1 11 5 9"
log "OK saved the positions"
# Precision on: 6,10,1; double-click step 9: 970 - 70 * 9 ms.
reported=$(system_reports)
[ "$reported" = "params=6,10,1 doubleclick=340" ] ||
    fail "the system reports '$reported' after OK"
log "the system reports $reported"

step="default"
"$driver" open
press 246 583
press 565 619
hidden_soon "OK"
[ "$(pointer_bytes)" = "0 0 6 3 6" ] || fail "config.bin holds $(pointer_bytes), not 0 0 6 3 6"
log "Default and OK saved the default positions"
# Default writes the system's defaults; OK then applies the positions: step 6 is 550 ms.
reported=$(system_reports)
[ "$reported" = "params=0,0,0 doubleclick=550" ] ||
    fail "the system reports '$reported' after Default and OK"
log "the system reports $reported"

step="quit"
"$driver" quit || fail "Exit from the tray menu did not end the program"
log "done"
