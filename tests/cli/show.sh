#!/usr/bin/env bash
# qorctl show: config.bin in readable form.
set -euo pipefail
qorctl=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

python3 - "$work/config.bin" <<'PY'
import sys
rec = bytearray(2021)
A, B = 0, 192
fn = [0, 1, 12, 13, 10, 6, 8, 9]
for k, f in enumerate(fn):
    rec[A + k] = f
rec[B + 0] = 11; rec[B + 120] = 0x04          # mode B button 1: Single Key A
rec[A + 132 + 2] = 0x01; rec[A + 144 + 2] = 0x06  # combo Left Ctrl + C
rec[A + 168 + 3] = 4; rec[A + 180 + 3] = 1        # macro 5, loop mode 2
rec[A + 84 + 4] = 0x04; rec[A + 96 + 4] = 32; rec[A + 108 + 4] = 1  # fire A 32 1
rec[1961 + 5] = 4                                   # Shift DPI
rec[A + 36 + 6] = 2; rec[A + 48 + 6] = 0x92; rec[A + 60 + 6] = 1    # Calculator
rec[A + 12 + 7] = 0; rec[A + 24 + 7] = 0xB5         # Next
rec[1960] = 1                                       # Mode B active
rec[1927:1931] = bytes([0, 7, 2, 200])
rec[1931:1935] = bytes([1, 0, 1, 1])
rec[1935:1938] = bytes([0xff, 0x80, 0x00])
rec[1947] = 3; rec[1950] = 28; rec[1953] = 3        # Neon 14.5S, RGB Fixed On
rec[1957:1960] = bytes([6, 3, 6])
slot = 384 + 128 * 2
rec[slot:slot + 2] = bytes([0x01, 0x00])            # macro 3: 256 loops
rec[slot + 2:slot + 8] = bytes([0x04, 0x04, 0x84, 0x04, 0x05, 0x05])
open(sys.argv[1], "wb").write(bytes([1]) + bytes(rec))
PY

"$qorctl" show --dir "$work" > "$work/out"
expect() { grep -qF -- "$1" "$work/out" || fail "missing: $1"$'\n'"$(cat "$work/out")"; }
expect "Key set Mode A"
expect "Key set Mode B (active)"
expect "  button 1: Left Click  [00f00001]"
expect "  button 3: Combo Key (Left Ctrl + C)  [00060100]"
expect "  button 4: Macro Key (macro 5, loop mode 2)  [00050109]"
expect "  button 5: Fire Key (A, speed 32, times 1)  [0120040a]"
expect "  button 6: DPI Switch (Shift DPI)  [01040007]"
expect "  button 7: Windows (Calculator, usage 0x0192)  [01920003]"
expect "  button 8: Multimedia (Next, usage 0x00b5)  [00b50003]"
expect "  button 1: Single Key (A)  [00040000]"
expect "DPI stages (sensor type 1, 8 steps)"
expect "  stage 1: on, level 0, 600 DPI, colour #ff8000"
expect "  stage 2: off, level 7, 3200 DPI"
expect "  stage 4: on, level 200, 3200 DPI"
expect "Lighting: mode 3 Neon, parameter 14.5S, effect RGB Fixed On"
expect "Pointer: mouse speed 6, scrolling 3, double-click 6"
expect "Macro slot 3: loop count 256, pairs 3"
expect "Macro slot 12: loop count 0, pairs 0"

"$qorctl" show --dir "$work" --sensor-type 0 --language 2052 > "$work/out"
expect "  stage 2: off, level 7, 2000 DPI"
expect "Lighting: mode 3 霓虹模式, parameter 14.5S, effect RGB常亮"

# What the (emulated) mouse answers to the read commands follows; its sensor type names the DPI
# values unless --sensor-type is given; nothing is written to it.
"$qorctl" show --dir "$work" --emulate --trace "$work/trace" > "$work/out"
expect "Mouse (answers to the read commands)"
expect "  sensor type 1, rate "
expect "  configuration block 2: "
expect "  macro slot 12: loop count "
expect "  stage 2: off, level 7, 3200 DPI"
grep -q '^set_feature 90 02 ' "$work/trace" || fail "block 2 not read"
grep -E '^set_feature (03|07|0d|10|11|12|13) ' "$work/trace" && fail "show wrote to the mouse"
"$qorctl" show --dir "$work" --no-mouse > "$work/out"
grep -q '^Mouse' "$work/out" && fail "--no-mouse asked the mouse"

rc=0; "$qorctl" show --dir "$work/none" 2> "$work/err" || rc=$?
[[ $rc == 1 ]] || fail "show without config.bin exited $rc"
echo "show: ok"
