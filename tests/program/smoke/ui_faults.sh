#!/usr/bin/env bash
# A mouse that stops answering in the middle of OK: the demo's emulated mouse answers 30
# transfers after start-up's handshake, then nothing. OK sends nothing after the transfer that
# timed out, says in the program's message box that not every setting reached the mouse, keeps
# the window shown, and config.bin holds the new values all the same.
#
#   ui_faults.sh DEMO_DIR OUT_DIR
# shellcheck source=ui_common.sh
. "$(dirname "${BASH_SOURCE[0]}")/ui_common.sh" faults "$1" "$2"
export QOR_DEMO_SENSOR_TYPE=1 QOR_DEMO_FAULTS=stall-after=30

OK="565 619"
dpi_step() { echo $((562 + 27 * ($1 - 1))) $((508 - 18 * ($2 - 1))); }

step="start"
"$driver" start "$app" | sed "s/^/[$step] /"
"$driver" open

step="ok"
# Stage 2 to step 5, then OK.
# shellcheck disable=SC2046
"$driver" press $(dpi_step 2 5)
# shellcheck disable=SC2086
"$driver" press $OK
"$driver" box Qor 30 >/dev/null || fail "no message box titled 'Qor' after a stalled OK"
"$driver" shot "$out/ui-faults-box.png"
"$driver" dismiss-box Qor
sleep 1
"$driver" visible || fail "the window hid although not every setting reached the mouse"
[ "$(record_byte 1928)" = 4 ] || fail "config.bin does not hold stage 2's new step"
timeouts=$(grep -c 'timed out$' "$trace" || true)
[ "$timeouts" = 1 ] || fail "$timeouts time-outs on the wire, not 1"
after=$(awk '/timed out$/ { seen = 1; next } seen && /^(set_feature|get_feature|write|read) /' \
    "$trace" | wc -l)
[ "$after" = 0 ] || fail "$after transfers were sent after the time-out"
log "one time-out, nothing sent after it, the box shown, the window kept, config.bin saved"
