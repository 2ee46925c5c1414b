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

# No config.bin: import never creates it.
mkdir "$work/empty"
rc=0; "$qorctl" import "$work/profile.ini" --dir "$work/empty" 2> /dev/null || rc=$?
[[ $rc == 1 ]] || fail "import without config.bin exited $rc"
[[ ! -e $work/empty/config.bin ]] || fail "config.bin created"
rc=0; "$qorctl" export --dir "$work" 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "export without FILE exited $rc"
echo "profile: ok"
