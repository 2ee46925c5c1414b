#!/usr/bin/env bash
# qorctl macros: the images Confirm builds from record.ini over config.bin's slots.
set -u
qorctl=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
check() { # what expected actual
    if [ "$2" != "$3" ]; then
        echo "FAIL: $1"
        echo "  expected: $2"
        echo "  actual:   $3"
        fail=1
    fi
}
pad() { # hex prefix -> 256 hex digits
    local s=$1
    while [ ${#s} -lt 256 ]; do s+=0; done
    echo "$s"
}
slot_offset() { echo $((1 + 384 + 128 * ($1 - 1))); } # slot n in config.bin

head -c 2022 /dev/zero >"$work/config.bin"
# A stale slot 4 stays: record.ini has only three sections.
printf '\x00\x02\x05\x1d' | dd of="$work/config.bin" bs=1 seek="$(slot_offset 4)" conv=notrunc status=none
# Slot 2's section says ItemCount 0: the whole slot is cleared.
printf '\xff\xff\xff\xff' | dd of="$work/config.bin" bs=1 seek="$(slot_offset 2)" conv=notrunc status=none
printf '\xef\xbb\xbf[连招]\r\nMacroLoopTimes=3\r\nItemCount=4\r\nItem0=A   Dn\r\nItem1=50 ms\r\nItem2=A   Up\r\nItem3=1300 ms\r\n[Empty]\r\nMacroLoopTimes=9\r\nItemCount=0\r\n[Mouse]\r\nMacroLoopTimes=300\r\nItemCount=2\r\nItem0=L-Button   Up\r\nItem1=2550 ms\r\n' >"$work/record.ini"
cp "$work/config.bin" "$work/before.bin"

expected=$(printf '%s\n' "$(pad 0003050480040d03)" "$(pad 00)" "$(pad 012cb2f01903)" "$(pad 0002051d)" \
    "$(pad 00)" "$(pad 00)" "$(pad 00)" "$(pad 00)" "$(pad 00)" "$(pad 00)" "$(pad 00)" "$(pad 00)")
actual=$("$qorctl" macros --dir "$work")
check "exit status" 0 $?
check "slots printed" "$expected" "$actual"
cmp -s "$work/config.bin" "$work/before.bin" || { echo "FAIL: config.bin changed without --save"; fail=1; }

"$qorctl" macros --dir "$work" --save >/dev/null
check "exit status with --save" 0 $?
check "first-run flag" 01 "$(od -An -tx1 -N1 "$work/config.bin" | tr -d ' ')"
check "slot 1 saved" 0003050480040d03 "$(od -An -tx1 -j "$(slot_offset 1)" -N8 "$work/config.bin" | tr -d ' \n')"
check "slot 3 saved" 012cb2f01903 "$(od -An -tx1 -j "$(slot_offset 3)" -N6 "$work/config.bin" | tr -d ' \n')"
check "file size" 2022 "$(stat -c %s "$work/config.bin")"
check "saved slots print the same" "$expected" "$("$qorctl" macros --dir "$work")"

# Without record.ini the slots print as config.bin holds them.
mkdir "$work/plain"
cp "$work/before.bin" "$work/plain/config.bin"
check "no record.ini" "$(pad 0002051d)" "$("$qorctl" macros --dir "$work/plain" | sed -n 4p)"
check "no record.ini, slot 2" "$(pad ffffffff)" "$("$qorctl" macros --dir "$work/plain" | sed -n 2p)"

# No config.bin: the program's message, nothing printed, status 1.
mkdir "$work/none"
out=$("$qorctl" macros --dir "$work/none" 2>"$work/err")
check "missing config.bin status" 1 $?
check "missing config.bin output" "" "$out"
check "missing config.bin message" "Qor: Config file is not exist." "$(cat "$work/err")"
[ -e "$work/none/config.bin" ] && { echo "FAIL: config.bin created"; fail=1; }

# A config.bin of the wrong size is not used.
head -c 2021 /dev/zero >"$work/none/config.bin"
"$qorctl" macros --dir "$work/none" >/dev/null 2>&1
check "short config.bin status" 1 $?

"$qorctl" macros --bogus >/dev/null 2>&1
check "usage error status" 2 $?

exit $fail
