#!/usr/bin/env bash
# qorctl profile list / save / use / delete: the profiles of DIR/Profiles.
set -euo pipefail
qorctl=$1
src=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
cp "$src/resources/config.bin" "$src/resources/str.ini" "$src/resources/record.ini" "$work/"

# No folder yet: no profiles, no error.
[[ -z $("$qorctl" profile list --dir "$work") ]] || fail "profiles listed without a folder"

# save: the files' settings, key rows included, as Profiles/Desk.ini, which becomes active.
"$qorctl" profile save Desk --dir "$work" || fail "save exited $?"
[[ -f $work/Profiles/Desk.ini ]] || fail "Desk.ini not written"
grep -qx 'A1 = Left Click' "$work/Profiles/Desk.ini" || fail "key rows not in the profile"
[[ $("$qorctl" profile list --dir "$work") == "* Desk" ]] || fail "Desk not listed as active"

# A second profile that differs in its DPI levels only, named by game.exe; a broken one.
sed -e 's/^Stage2Level = .*/Stage2Level = 3200/' \
    -e 's/^ActiveKeySet = \(.*\)/ActiveKeySet = \1\nPrograms = game.exe; Tool.EXE/' \
    "$work/Profiles/Desk.ini" > "$work/Profiles/Game.ini"
printf '[General]\nPrograms = x.exe\n[DPI]\nStage1 = maybe\n' > "$work/Profiles/Broken.ini"
"$qorctl" profile list --dir "$work" > "$work/list"
diff -u - "$work/list" <<'TXT' || fail "list"
  Broken  cannot be read: line 4: Stage1: 'maybe' is not one of its names
* Desk
  Game  programs: game.exe; Tool.EXE
TXT

# use: the settings become current and reach the emulated mouse; the DPI write carries 3200.
cp "$work/config.bin" "$work/config.desk"
"$qorctl" apply --emulate --no-pause --dir "$work" --trace "$work/trace.desk" ||
    fail "apply exited $?"
cp "$work/config.bin" "$work/config.desk"
"$qorctl" profile use Game --emulate --no-pause --dir "$work" --trace "$work/trace" > "$work/out" ||
    fail "use exited $?"
[[ $(cat "$work/out") == 'Profile “Game” is in use.' ]] || fail "use said: $(cat "$work/out")"
grep -q '^# profile apply$' "$work/trace" || fail "no profile apply in the trace"
"$qorctl" apply --emulate --no-pause --dir "$work" --trace "$work/trace.game" ||
    fail "apply exited $?"
dpi() { grep -A1 '^set_feature 11 04 08' "$1" | tail -n 1; }
[[ $(dpi "$work/trace") == "$(dpi "$work/trace.game")" ]] || fail "use wrote other DPI codes"
[[ $(dpi "$work/trace") != "$(dpi "$work/trace.desk")" ]] || fail "use wrote Desk's DPI codes"
cmp -s "$work/config.bin" "$work/config.desk" && fail "config.bin unchanged"
"$qorctl" profile list --dir "$work" | grep -qx '\* Game  programs: game.exe; Tool.EXE' ||
    fail "Game not active"

# A profile that does not read changes nothing and names the line.
cp "$work/config.bin" "$work/config.game"
rc=0; "$qorctl" profile use broken --emulate --no-pause --dir "$work" 2> "$work/err" || rc=$?
[[ $rc == 1 ]] || fail "broken use exited $rc"
grep -q 'cannot be used: line 4' "$work/err" || fail "line not named: $(cat "$work/err")"
cmp -s "$work/config.bin" "$work/config.game" || fail "config.bin changed by a refused profile"

# Names Windows would refuse; deleting the active profile leaves none active.
rc=0; "$qorctl" profile save 'a/b' --dir "$work" 2> "$work/err" || rc=$?
[[ $rc == 1 ]] && grep -q 'cannot contain' "$work/err" || fail "a/b: $rc $(cat "$work/err")"
rc=0; "$qorctl" profile save 'nul.txt' --dir "$work" 2> "$work/err" || rc=$?
[[ $rc == 1 ]] && grep -q 'keeps for a device' "$work/err" || fail "nul.txt: $rc"
"$qorctl" profile delete game --dir "$work" || fail "delete exited $?"
[[ ! -e $work/Profiles/Game.ini ]] || fail "Game.ini still there"
"$qorctl" profile list --dir "$work" | grep -q '^\*' && fail "a profile still active"
rc=0; "$qorctl" profile delete Game --dir "$work" 2> /dev/null || rc=$?
[[ $rc == 1 ]] || fail "deleting a missing profile exited $rc"
rc=0; "$qorctl" profile frob --dir "$work" 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "an unknown verb exited $rc"
echo ok
