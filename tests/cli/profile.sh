#!/usr/bin/env bash
# qorctl export / import: a readable profile of config.bin and record.ini, and back.
set -euo pipefail
qorctl=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A config.bin of random bytes with first-run flag 0, and a record.ini in 8-bit text.
python3 - "$work/config.bin" <<'PY'
import random, sys
random.seed(5)
open(sys.argv[1], "wb").write(bytes([0]) + bytes(random.randrange(256) for _ in range(2021)))
PY
printf '[Spray]\r\nMacroLoopTimes=3\r\nItemCount=2\r\nItem0=A   Dn\r\nItem1=A   Up\r\n' \
    > "$work/record.ini"
cp "$work/config.bin" "$work/config.orig"
cp "$work/record.ini" "$work/record.orig"

"$qorctl" export "$work/profile.ini" --dir "$work" || fail "export exited $?"
grep -qx 'Name = Spray' "$work/profile.ini" || fail "macro name missing"
grep -qx 'Line = A   Dn' "$work/profile.ini" || fail "macro line missing"
"$qorctl" import "$work/profile.ini" --dir "$work" || fail "import exited $?"
cmp "$work/config.bin" "$work/config.orig" || fail "config.bin changed on the round trip"
cmp "$work/record.ini" "$work/record.orig" || fail "record.ini changed on the round trip"

# A refused profile names its line and leaves both files alone.
sed 's/^ActiveKeySet = .*/ActiveKeySet = C/' "$work/profile.ini" > "$work/bad.ini"
rc=0; "$qorctl" import "$work/bad.ini" --dir "$work" 2> "$work/err" || rc=$?
[[ $rc == 1 ]] || fail "bad profile exited $rc"
line=$(grep -n '^ActiveKeySet' "$work/bad.ini" | cut -d: -f1)
grep -q "bad.ini:$line: ActiveKeySet" "$work/err" || fail "line not named: $(cat "$work/err")"
cmp -s "$work/config.bin" "$work/config.orig" || fail "config.bin written by a refused import"
cmp -s "$work/record.ini" "$work/record.orig" || fail "record.ini written by a refused import"

# An edit reaches config.bin; the first-run flag stays; a new macro reaches record.ini.
sed 's/^ActiveKeySet = .*/ActiveKeySet = B/' "$work/profile.ini" > "$work/edit.ini"
printf '\n[Macro]\nName = Tap\nLoop = 1\nLine = B   Dn\nLine = B   Up\n' >> "$work/edit.ini"
"$qorctl" import "$work/edit.ini" --dir "$work" || fail "edited import exited $?"
[[ $(od -An -tu1 -j 1961 -N1 "$work/config.bin" | tr -d ' ') == 1 ]] || fail "key set B not set"
[[ $(od -An -tu1 -N1 "$work/config.bin" | tr -d ' ') == 0 ]] || fail "first-run flag changed"
grep -q '^\[Tap\]' "$work/record.ini" || fail "new macro not written"
grep -q '^Item1=B   Up' "$work/record.ini" || fail "new macro lines not written"

# A profile whose macros would make record.ini larger than the program reads is refused before
# anything is written; one that stays within it is taken.
mkdir "$work/big"
cp "$work/config.orig" "$work/big/config.bin"
for room in 200 40; do
    # A record.ini of 16 MiB less `room` bytes: a long comment, no macros.
    python3 - "$work/big/record.ini" "$room" <<'PY'
import sys
size = (16 << 20) - int(sys.argv[2])
open(sys.argv[1], "wb").write(b"; " + b"x" * (size - 4) + b"\r\n")
PY
    cp "$work/big/record.ini" "$work/big/record.orig"
    rc=0; "$qorctl" import "$work/profile.ini" --dir "$work/big" 2> "$work/err" || rc=$?
    if [[ $room == 200 ]]; then
        [[ $rc == 0 ]] || fail "a record.ini within the limit was refused: $(cat "$work/err")"
        [[ $(stat -c %s "$work/big/record.ini") -le $((16 << 20)) ]] || fail "written too large"
        "$qorctl" export - --dir "$work/big" | grep -qx 'Name = Spray' ||
            fail "the macro does not read back"
        cp "$work/config.orig" "$work/big/config.bin"
        continue
    fi
    [[ $rc == 1 ]] || fail "a record.ini over the limit: import exited $rc"
    grep -q 'record.ini .* bytes, more than the 16777216 bytes the program reads; nothing was written' \
        "$work/err" || fail "no reason given: $(cat "$work/err")"
    cmp -s "$work/big/config.bin" "$work/config.orig" || fail "config.bin written by a refused import"
    cmp -s "$work/big/record.ini" "$work/big/record.orig" || fail "record.ini written when refused"
done

# No config.bin: import never creates it.
mkdir "$work/empty"
rc=0; "$qorctl" import "$work/profile.ini" --dir "$work/empty" 2> /dev/null || rc=$?
[[ $rc == 1 ]] || fail "import without config.bin exited $rc"
[[ ! -e $work/empty/config.bin ]] || fail "config.bin created"
rc=0; "$qorctl" export --dir "$work" 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "export without FILE exited $rc"
echo "profile: ok"
