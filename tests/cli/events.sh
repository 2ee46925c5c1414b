#!/usr/bin/env bash
# qorctl events --emulate: event reports from the mouse become the window's balloons.
set -euo pipefail
qorctl=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

python3 - "$work/config.bin" <<'PY'
import sys
rec = bytearray(2021)
rec[1927:1931] = bytes([0, 3, 4, 200])  # dpiLevel; stage 4 past the list
open(sys.argv[1], "wb").write(bytes([1]) + bytes(rec))
PY

T=$'\t'
"$qorctl" events --emulate --dir "$work" 06050002 06070003 06090000 0609000c 05050002 \
    06060002 06050003 06080001 06070001 06070004 0607000500 > "$work/out"
cat > "$work/want" <<EOF2
Info${T}The system detect the gaming mouse.${T}100
Info${T}Switch report rate into 500HZ${T}5000
Info${T}Switch DPI into the third stage 1600${T}5000
Info${T}Switch to macro key12${T}5000
Info${T}Switch to key matrix 1${T}5000
Info${T}Switch DPI into the first stage 600${T}5000
Info${T}Switch DPI into the fourth stage 3200${T}5000
EOF2
diff "$work/want" "$work/out" || fail "balloons differ"

# Traditional Chinese, sensor type 0 (12 steps).
"$qorctl" events --emulate --dir "$work" --language 1028 --sensor-type 0 06070002 > "$work/out"
printf 'Info\t系統檢測到遊戲滑鼠。\t100\nInfo\tDPI切換到第二段1000\t5000\n' > "$work/want"
diff "$work/want" "$work/out" || fail "Traditional Chinese balloons differ"

# No mouse: the not-detected balloon, nothing else.
rc=0
"$qorctl" events --emulate --old-firmware --dir "$work" 06050001 > "$work/out" || rc=$?
[[ $rc == 1 ]] || fail "exit $rc without a mouse"
printf 'Warning\tThe system did not detect the gaming mouse!\t100\n' > "$work/want"
diff "$work/want" "$work/out" || fail "not-detected balloon differs"

# The real mouse, absent from this machine: a reason and status 1, not a silent wait.
if ! grep -qs 'HID_ID=0003:000004D9:0000A09F' /sys/class/hidraw/*/device/uevent; then
    rc=0; timeout 10 "$qorctl" events --dir "$work" > "$work/out" 2> "$work/err" || rc=$?
    [[ $rc == 1 ]] || fail "events without a mouse exited $rc"
    grep -q '^qorctl events: no mouse found' "$work/err" || fail "no reason: $(cat "$work/err")"
fi

rc=0; "$qorctl" events --emulate 06zz 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "bad report exited $rc"
rc=0; "$qorctl" events 06070002 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "reports without --emulate exited $rc"
echo "events: ok"
