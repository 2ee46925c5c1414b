#!/usr/bin/env bash
# qorctl apply --emulate: the whole OK path against the emulator, and the cases without a mouse.
set -euo pipefail
qorctl=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# config.bin: first-run flag 0, default key assignment, stages 1 and 3 on at levels 2 and 5.
make_config() {
    python3 - "$1" <<'PY'
import sys
rec = bytearray(2021)
for k, f in enumerate([0, 1, 2, 3, 4, 6, 6, 15]):
    rec[k] = f
    rec[192 + k] = f
rec[1961 + 5] = rec[1973 + 5] = 1
rec[1961 + 6] = rec[1973 + 6] = 2
rec[1927:1931] = bytes([2, 0, 5, 0])
rec[1931:1935] = bytes([1, 0, 1, 0])
open(sys.argv[1], "wb").write(bytes([0]) + bytes(rec))
PY
}

# --- the mouse present ------------------------------------------------------------------------
make_config "$work/config.bin"
cp "$work/config.bin" "$work/config.orig"
"$qorctl" apply --emulate --no-pause --dir "$work" --trace "$work/trace" 2> "$work/err" ||
    fail "apply exited $? with the mouse present"
[[ ! -s $work/err ]] || fail "unexpected messages: $(cat "$work/err")"
pauses=$(awk '$1 == "sleep" { s += $2 } END { print s }' "$work/trace")
[[ $pauses == 266 ]] || fail "pauses add up to $pauses ms, not 10 (handshake) + 256"
[[ $(tail -n 2 "$work/trace" | head -n 1) == "# save config.bin" ]] || fail "config.bin not saved last"
[[ $(tail -n 1 "$work/trace") == "# write str.ini" ]] || fail "str.ini not written at the end"
grep -q '^set_feature 83 00 00 00 00 00 00 7c$' "$work/trace" || fail "no connect read-back"
# Factory sensor type 1: level 2 on -> 03, level 0 off -> 81, level 5 on -> 23.
grep -A1 '^set_feature 11 04 08' "$work/trace" | grep -q '^write 03 81 23 81 80 80 80 80 00' ||
    fail "DPI payload wrong: $(grep -A1 '^set_feature 11' "$work/trace")"
[[ $(od -An -tu1 -N1 "$work/config.bin" | tr -d ' ') == 1 ]] || fail "first-run flag not saved as 1"
cmp -s <(tail -c 2021 "$work/config.bin") <(tail -c 2021 "$work/config.orig") ||
    fail "the record changed on its way through apply"
iconv -f UTF-16 -t UTF-8 "$work/str.ini" | tr -d '\r' > "$work/str.txt"
grep -q '^\[Setting-EN\]' "$work/str.txt" || fail "no Setting-EN section in str.ini"
# First run: the key rows got their default texts.
grep -q '^Item1=Left Click$' "$work/str.txt" || fail "first-run row texts missing"
grep -q '^Item83=Key Off$' "$work/str.txt" || fail "first-run row text of key set B missing"
grep -q '^Item123=$' "$work/str.txt" || fail "key row 12 of set B not written"

# The trace can go to standard output as well.
"$qorctl" apply --emulate --no-pause --dir "$work" --trace - > "$work/stdout"
cmp -s <(grep -v '^#' "$work/stdout") <(grep -v '^#' "$work/trace") || fail "--trace - differs"

# Another language and sensor type.
"$qorctl" apply --emulate --no-pause --dir "$work" --language 2052 --sensor-type 3 \
    --trace "$work/trace3"
grep -A1 '^set_feature 11 04 08' "$work/trace3" | grep -q '^write 03 81 06 81 ' ||
    fail "sensor type 3 codes wrong"
iconv -f UTF-16 -t UTF-8 "$work/str.ini" | grep -q '^\[Setting-CHS\]' || fail "no Setting-CHS"

# --- no mouse ---------------------------------------------------------------------------------
cp "$work/config.orig" "$work/config.bin"
rc=0
"$qorctl" apply --emulate --no-pause --old-firmware --dir "$work" --trace "$work/trace" \
    2> "$work/err" || rc=$?
[[ $rc == 1 ]] || fail "handshake failure exited $rc, not 1"
grep -v '^#' "$work/trace" | grep -v '^set_feature 00 \|^get_feature 00 \|^sleep 5$' &&
    fail "something but the handshake was sent"
cmp -s "$work/config.bin" "$work/config.orig" || fail "config.bin written without a mouse"

rc=0
"$qorctl" apply --emulate --unplugged --dir "$work" --trace "$work/trace" 2> "$work/err" || rc=$?
[[ $rc == 1 ]] || fail "no mouse exited $rc, not 1"
grep -qx 'Warning: The system did not detect the gaming mouse!' "$work/err" ||
    fail "no not-detected message: $(cat "$work/err")"
grep -qv '^#' "$work/trace" && fail "transfers without a mouse"
cmp -s "$work/config.bin" "$work/config.orig" || fail "config.bin written without a mouse"

# --- no config.bin: the program never creates it ----------------------------------------------
mkdir "$work/empty"
"$qorctl" apply --emulate --no-pause --dir "$work/empty" 2> "$work/err" ||
    fail "apply without config.bin exited $?"
grep -q 'Config file is not exist.' "$work/err" || fail "missing config.bin not reported"
[[ ! -e $work/empty/config.bin ]] || fail "config.bin was created"

# --- the real mouse, absent from this machine ---------------------------------------------------
if ! grep -qs 'HID_ID=0003:000004D9:0000A09F' /sys/class/hidraw/*/device/uevent; then
    cp "$work/config.orig" "$work/config.bin"
    rc=0; "$qorctl" apply --dir "$work" 2> "$work/err" || rc=$?
    [[ $rc == 1 ]] || fail "apply without a mouse exited $rc"
    grep -q '^qorctl apply: no mouse found' "$work/err" || fail "no explanation: $(cat "$work/err")"
    cmp -s "$work/config.bin" "$work/config.orig" || fail "config.bin written without a mouse"
fi

# --- usage errors -----------------------------------------------------------------------------
rc=0; "$qorctl" apply --no-pause --dir "$work" 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "--no-pause without --emulate exited $rc"
rc=0; "$qorctl" apply --emulate --transfer-latency x 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "bad latency exited $rc"
rc=0; "$qorctl" apply --emulate --language 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "option without value exited $rc"
echo "apply: ok"
