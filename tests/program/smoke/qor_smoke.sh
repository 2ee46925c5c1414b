#!/usr/bin/env bash
# Smoke tests of the demo Qor.exe under Wine, driven through X as a user would (tools/ui-driver):
# the tray icon is found in Wine's system tray window and clicked with the pointer. No Wine
# desktop here, so that the program's own exit code can be checked.
#
#   qor_smoke.sh CASE DEMO_DIR OUT_DIR
#
# CASE: startup | tray_click | second_instance | dpi_balloon | tray_exit | close_paths | measure,
#       against the
#       demo build; absent_mouse against the real build (there is no mouse under Wine)
# DEMO_DIR holds Qor.exe and its files; every run works on its own copy of it.
# Screenshots (and the measurements of "measure") land in OUT_DIR.
set -euo pipefail
case_name=$1
demo=$(cd "$2" && pwd)
out=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
wine_run="$here/tools/wine-run"
driver="$here/tools/ui-driver"
mkdir -p "$out"
out=$(cd "$out" && pwd)

fail() { echo "FAIL [$case_name]: $*" >&2; exit 1; }
log() { echo "[$case_name] $*"; }

work=$(mktemp -d "${TMPDIR:-/tmp}/qor-smoke.XXXXXX")
export QOR_UI_STATE="$work/.ui" QOR_UI_DESKTOP=none
cleanup() {
    "$driver" cleanup || true
    rm -rf "$work"
}
trap cleanup EXIT
# An X server: the caller's, or a private Xvfb.
DISPLAY=$("$driver" xvfb)
export DISPLAY
cp -r "$demo/." "$work/"
exe="$work/Qor.exe"

now_ms() { date +%s%3N; }
wait_for() { # seconds command...
    local limit=$1
    shift
    local end=$(($(now_ms) + limit * 1000))
    while [ "$(now_ms)" -lt "$end" ]; do
        if "$@" >/dev/null; then return 0; fi
        sleep 0.05
    done
    return 1
}

start_qor() {
    local timing
    timing=$("$driver" start "$work") || fail "the start did not end hidden in the tray"
    tray_ms=$(sed -n 's/^tray_ms=//p' <<<"$timing")
    hidden_ms=$(sed -n 's/^hidden_ms=//p' <<<"$timing")
    log "tray icon after ${tray_ms} ms"
    log "hidden in the tray after ${hidden_ms} ms"
}
main_count() { "$driver" main-window | wc -l; }
shot() { # name [window | X window id]
    case "${2:-}" in
    "" | window) "$driver" shot "$out/$1.png" ${2:+"$2"} 2>/dev/null || true ;;
    *) import -window "$2" "$out/$1.png" 2>/dev/null || true ;;
    esac
    log "screenshot $out/$1.png"
}
no_qor_window() { "$driver" wait-hidden 0 0; }
ended_with_code_0() { # what ended the program
    local code=0
    "$driver" wait-exit 20 || code=$?
    [ "$code" -eq 0 ] || fail "exit code $code after $1"
    ! "$driver" tray >/dev/null || fail "the tray icon is still there after $1"
}

exit_from_tray() {
    local code=0
    "$driver" quit --menu-shot "$out/tray-menu.png" || code=$?
    log "screenshot $out/tray-menu.png"
    [ "$code" -eq 0 ] || fail "exit code $code after Exit"
    ! "$driver" tray >/dev/null || fail "the tray icon is still there after Exit"
    log "Exit ended the process with code 0 and removed the tray icon"
}

case "$case_name" in
startup)
    start_qor
    ;;
tray_click)
    start_qor
    "$driver" open || fail "no window of the skin's size after a tray click"
    sleep 0.5
    shot window-shown
    shot window-shown-client window
    [ "$(main_count)" -eq 1 ] || fail "more than one main window"
    log "the window shows at $(xdotool getwindowgeometry "$("$driver" main-window)" | grep Geometry)"
    ;;
second_instance)
    start_qor
    code=0
    timeout 60 "$wine_run" "$exe" >/dev/null 2>&1 || code=$?
    [ "$code" -eq 0 ] || fail "the second instance ended with code $code"
    "$driver" running || fail "the first instance ended with the second"
    "$driver" open || fail "no window after a tray click"
    sleep 1
    [ "$(main_count)" -eq 1 ] || fail "$(main_count) main windows"
    shot second-instance
    log "the second instance ended with code 0, one window remains"
    ;;
dpi_balloon)
    start_qor
    # The detection balloon of the start comes first; click it away.
    "$driver" dismiss-balloon || fail "the detection balloon did not go away"
    # The emulated mouse reports: DPI switched to stage 2.
    "$wine_run" "$exe" --demo-event 7 2 >/dev/null 2>&1 || fail "the demo hook did not run"
    b=$("$driver" balloon 10 | head -1) || fail "no balloon after the emulated DPI switch"
    sleep 0.5
    shot dpi-balloon
    shot dpi-balloon-close "$b"
    log "the DPI switch shows a balloon ($(xdotool getwindowgeometry "$b" | grep Geometry))"
    ;;
tray_exit)
    start_qor
    exit_from_tray
    exit 0
    ;;
close_paths)
    # Alt+F4 (the system close command) only hides the window; the close button ends Qor.
    start_qor
    "$driver" open || fail "no window after a tray click"
    "$driver" key alt+F4
    "$driver" wait-hidden 20 0 || fail "Alt+F4 did not hide the window"
    sleep 1
    "$driver" running || fail "Alt+F4 ended the program"
    "$driver" tray >/dev/null || fail "the tray icon went away with the window"
    "$driver" open || fail "the window did not come back from the tray"
    "$driver" press 859 14 # the close button
    ended_with_code_0 "the close button"
    log "Alt+F4 hides, the close button ends with code 0 and removes the tray icon"
    exit 0
    ;;
absent_mouse)
    # The real build finds no mouse: the "Warning" box first, then the program runs on.
    "$driver" start --no-wait "$work"
    warning=""
    has_warning() { warning=$(xdotool search --onlyvisible --name '^Warning$' 2>/dev/null | head -1); [ -n "$warning" ]; }
    wait_for 120 has_warning || fail "no \"Warning\" box without a mouse"
    sleep 0.5
    shot absent-mouse-warning "$warning"
    "$driver" tray >/dev/null || fail "no tray icon beside the warning"
    xdotool windowfocus "$warning" 2>/dev/null || true
    xdotool key --window "$warning" Return
    gone() { ! has_warning; }
    wait_for 10 gone || fail "the warning box did not close"
    "$driver" wait-hidden 40 || fail "the window did not go to the tray"
    # a balloon of the start would hide the one we look for
    "$driver" dismiss-balloon || true
    "$driver" tray-click 1
    "$driver" balloon 10 >/dev/null || fail "a tray click without a mouse shows no balloon"
    sleep 2
    no_qor_window || fail "the window opened although no mouse is connected"
    shot absent-mouse-balloon
    log "no mouse: warning box, then a tray click gives the not-detected balloon and no window"
    ;;
measure)
    start_qor
    {
        echo "size_bytes=$(stat -c %s "$exe")"
        echo "start_to_tray_ms=$tray_ms"
        echo "start_to_hidden_ms=$hidden_ms"
        pid=$("$driver" pid || true)
        [ -n "$pid" ] && grep -E 'VmRSS|RssAnon|VmData' "/proc/$pid/status" | tr -s ' ' | sed 's/:\s*/=/'
    } | tee "$out/measurements.txt"
    ;;
*)
    fail "unknown case"
    ;;
esac
exit_from_tray
