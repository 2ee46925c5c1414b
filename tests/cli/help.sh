#!/usr/bin/env bash
# Every qorctl command describes itself; unknown commands are usage errors.
set -euo pipefail
qorctl=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

"$qorctl" --help | grep -q 'Without --emulate the real mouse' || fail "main help"
for cmd in apply events show macros export import; do
    out=$("$qorctl" "$cmd" --help) || fail "$cmd --help exited $?"
    grep -q "usage: qorctl $cmd" <<< "$out" || fail "$cmd --help: $out"
done
"$qorctl" apply --help | grep -q -- '--transfer-latency MS' || fail "apply options"
"$qorctl" apply --help | grep -q -- '--trace FILE' || fail "common options"
rc=0; "$qorctl" frobnicate 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "unknown command exited $rc"
rc=0; "$qorctl" 2> /dev/null || rc=$?
[[ $rc == 2 ]] || fail "no command exited $rc"
echo "help: ok"
