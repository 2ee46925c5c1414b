#!/usr/bin/env bash
# qorctl apply --emulate with the emulated mouse's faults: each shows in the trace where the
# mouse misbehaves, and nowhere before. What the program then does about it is not checked here.
set -euo pipefail
qorctl=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

python3 - "$work/config.bin" <<'PY'
import sys
rec = bytearray(2021)
for k, f in enumerate([0, 1, 2, 3, 4, 6, 6, 15]):
    rec[k] = f
    rec[192 + k] = f
rec[1927:1931] = bytes([2, 0, 5, 0])
rec[1931:1935] = bytes([1, 0, 1, 0])
open(sys.argv[1], "wb").write(bytes([1]) + bytes(rec))
PY

# An apply's trace on standard output into $work/NAME.trace; the mouse is found either way.
run() {
    local name=$1 rc=0
    shift
    "$qorctl" apply --emulate --no-pause --dir "$work" --trace - "$@" > "$work/$name.trace" \
        2> "$work/$name.err" || rc=$?
    [[ $rc == 0 || $rc == 1 ]] || fail "$name: apply exited $rc: $(cat "$work/$name.err")"
}
# The transfers of a trace after the handshake's four, one a line (a chunk read that timed out
# is traced as its comment).
transfers() {
    grep -E '^(set_feature|get_feature|write|read) |^# read timed out$' "$1" | tail -n +5
}
# The line after the first line equal to $2.
after() { awk -v l="$2" 'found { print; exit } $0 == l { found = 1 }' "$1"; }
# The payloads of the $3 chunk lines after the first line equal to $2.
chunks_after() {
    awk -v l="$2" -v n="$3" 'found && ($1 == "write" || $1 == "read") {
        $1 = ""; print; if (++k == n) exit } $0 == l { found = 1 }' "$1"
}

run plain
header90='set_feature 90 00 00 00 00 00 00 6f'
[[ $(after "$work/plain.trace" "$header90") == 'get_feature 90 00 18 00 00 00 00 57' ]] ||
    fail "the plain run does not read block 0 as expected"

# --- the first answer to 0x90 is lost: that feature read, and nothing before it ---------------
run lose --lose-answer 90:1
lost=$(after "$work/lose.trace" "$header90")
[[ $lost == get_feature* && $lost != 'get_feature 90 '* ]] || fail "answer not lost: $lost"
n=$(grep -nxF "$header90" "$work/plain.trace" | head -n 1 | cut -d: -f1)
cmp -s <(head -n "$n" "$work/plain.trace") <(head -n "$n" "$work/lose.trace") ||
    fail "the traces differ before the lost answer"
grep -qx 'get_feature 90 01 18 00 00 00 00 56' "$work/lose.trace" ||
    fail "the second answer to 0x90 was lost as well"

# --- stall after 20 transfers: those answered as without the fault; the 21st times out and the
# program sends nothing more, says so and still saves config.bin ------------------------------
rc=0
"$qorctl" apply --emulate --no-pause --dir "$work" --trace - --stall-after 20 \
    > "$work/stall.trace" 2> "$work/stall.err" || rc=$?
[[ $rc == 1 ]] || fail "a stalled apply exited $rc"
grep -q 'Not every setting reached the mouse' "$work/stall.err" || fail "the stall was not said"
cmp -s <(transfers "$work/plain.trace" | head -n 20) <(transfers "$work/stall.trace" | head -n 20) ||
    fail "the first 20 transfers after the handshake differ"
[[ $(transfers "$work/stall.trace" | wc -l) == 21 ]] ||
    fail "not 21 transfers after the handshake: $(transfers "$work/stall.trace" | wc -l)"
[[ $(grep -c 'timed out$' "$work/stall.trace") == 1 ]] || fail "not one time-out"
# After the first time-out, nothing at all goes to the mouse.
awk 'seen && /^(set_feature|get_feature|write|read) / { bad = 1 } / timed out$/ { seen = 1 }
     END { exit bad }' "$work/stall.trace" || fail "a transfer was sent after the time-out"
grep -q '^# save config.bin$' "$work/stall.trace" || fail "config.bin was not saved"

# The boundary exactly: after the handshake, transfer 11 is block 0's answer and 12 its chunk.
run stall11 --stall-after 11
[[ $(transfers "$work/stall11.trace" | sed -n 11p) == 'get_feature 90 00 18 00 00 00 00 57' ]] ||
    fail "transfer 11 was not answered"
[[ $(transfers "$work/stall11.trace" | sed -n 12p) == '# read timed out' ]] ||
    fail "transfer 12 was answered: $(transfers "$work/stall11.trace" | sed -n 12p)"

# --- writes of 0x13 ignored: the macro slot reads back what the mouse held before -------------
run ignore --ignore-writes 13
cmp -s <(grep '^write ' "$work/plain.trace") <(grep '^write ' "$work/ignore.trace") ||
    fail "the program sent other chunks"
grep -q '# write timed out' "$work/ignore.trace" && fail "an ignored write was not taken"
for t in plain ignore; do
    chunks_after "$work/$t.trace" 'set_feature 13 01 80 00 00 00 00 6b' 4 > "$work/$t.written"
    chunks_after "$work/$t.trace" 'set_feature 93 01 00 00 00 00 00 6b' 4 > "$work/$t.read"
    [[ $(wc -l < "$work/$t.read") == 4 ]] || fail "$t: slot 1 not read back"
done
cmp -s "$work/plain.written" "$work/plain.read" || fail "without the fault slot 1 reads back changed"
cmp -s "$work/ignore.written" "$work/ignore.read" && fail "slot 1 took the ignored write"

# --- usage ------------------------------------------------------------------------------------
"$qorctl" apply --help | grep -q -- '--stall-after N' || fail "--stall-after not described"
"$qorctl" apply --help | grep -q -- '--lose-answer HH\[:K\]' || fail "--lose-answer not described"
"$qorctl" apply --help | grep -q -- '--ignore-writes HH' || fail "--ignore-writes not described"
while read -r args; do
    rc=0
    # shellcheck disable=SC2086
    "$qorctl" apply --no-pause --dir "$work" $args 2> "$work/err" || rc=$?
    [[ $rc == 2 ]] || fail "'$args' exited $rc"
    [[ -s $work/err ]] || fail "'$args' said nothing"
done <<'ARGS'
--emulate --stall-after x
--emulate --stall-after -1
--emulate --stall-after
--emulate --lose-answer 13
--emulate --lose-answer 90:0
--emulate --ignore-writes 83
--emulate --stall-after 1 --stall-after 2
--stall-after 5
--lose-answer 90
ARGS
rc=0; "$qorctl" apply --emulate --lose-answer 9g --dir "$work" 2> "$work/err" || rc=$?
grep -q -- '--lose-answer 9g' "$work/err" || fail "the option at fault is not named: $(cat "$work/err")"
echo "faults: ok"
