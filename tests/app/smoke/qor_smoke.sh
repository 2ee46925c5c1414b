#!/usr/bin/env bash
# Smoke tests of the demo Qor.exe under Wine, driven through X as a user would: the tray icon
# is found in Wine's system tray window and clicked with the pointer.
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
mkdir -p "$out"
out=$(cd "$out" && pwd)

fail() { echo "FAIL [$case_name]: $*" >&2; exit 1; }
log() { echo "[$case_name] $*"; }

# An X server: the caller's, or a private Xvfb.
xvfb_pid=""
if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 120); do
        [ -e "/tmp/.X$n-lock" ] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        export DISPLAY=":$n"
        sleep 1
        break
    done
fi

qor_pid=""
work=$(mktemp -d "${TMPDIR:-/tmp}/qor-smoke.XXXXXX")
cleanup() {
    if [ -n "$qor_pid" ] && kill -0 "$qor_pid" 2>/dev/null; then
        kill "$qor_pid" 2>/dev/null || true
        wait "$qor_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
    if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT
cp -r "$demo/." "$work/"
exe="$work/Qor.exe"
read -r main_w main_h < <(python3 - "$work" <<'PY'
import pathlib, struct, sys
folder = pathlib.Path(sys.argv[1])
skin = "Obsidian"
raw = (folder / "str.ini").read_bytes()
text = raw[2:].decode("utf-16-le") if raw[:2] == b"\xff\xfe" else raw.decode("latin-1")
for line in text.splitlines():
    if line.strip().lower().startswith("path="):
        skin = line.split("=", 1)[1].strip()
png = (folder / "Skins" / skin / "main.png").read_bytes()
w, h = struct.unpack(">II", png[16:24])
print(w, h)
PY
)

now_ms() { date +%s%3N; }

# Wine's system tray window, once it shows an icon.
tray_window() {
    local w
    w=$(xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -1) || true
    [ -n "$w" ] || return 1
    # the first icon slot must hold dark pixels (the tray itself is light)
    local mean
    mean=$(import -window "$w" -crop 20x20+0+0 +repage -colorspace gray -format '%[fx:mean]' info: \
        2>/dev/null) || return 1
    awk -v m="$mean" 'BEGIN { exit !(m < 0.8) }' || return 1
    echo "$w"
}

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

visible_qor_windows() { xdotool search --onlyvisible --class '^qor\.exe$' 2>/dev/null || true; }
main_windows() { # visible windows of Qor.exe at the size of main.png
    local w
    for w in $(visible_qor_windows); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if [ "$WIDTH" = "$main_w" ] && [ "$HEIGHT" = "$main_h" ]; then echo "$w"; fi
    done
}
has_main_window() { [ -n "$(main_windows)" ]; }
no_qor_window() { [ -z "$(visible_qor_windows)" ]; }
balloons() { # Wine shows a balloon as a window of its own, taller than the tray and the tip
    local w
    for w in $(xdotool search --onlyvisible --class '^explorer\.exe$' 2>/dev/null || true); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if [ "$HEIGHT" -gt 40 ] && [ "$WIDTH" -lt 600 ]; then echo "$w"; fi
    done
}
has_balloon() { [ -n "$(balloons)" ]; }
no_balloon() { [ -z "$(balloons)" ]; }
running() { kill -0 "$qor_pid" 2>/dev/null; }
ended() { ! kill -0 "$qor_pid" 2>/dev/null; }

no_tray() { ! tray_window >/dev/null; }

start_qor() {
    # an instance left over by an earlier run would answer for this one
    wait_for 20 no_tray || fail "a tray icon is there before the start: does another Qor.exe run?"
    start_ms=$(now_ms)
    "$wine_run" "$exe" >"$work/qor.log" 2>&1 &
    qor_pid=$!
    wait_for 120 tray_window || fail "no tray icon within 120 s"
    tray_ms=$(($(now_ms) - start_ms))
    tray=$(tray_window)
    log "tray icon after ${tray_ms} ms"
    # The window is created visible and the dialog manager shows it once more; the first two
    # non-client paints hide it each time. It counts as hidden once it has stayed hidden for 3 s.
    # (Without a window manager each hide takes Wine's X driver a while.)
    local end=$(($(now_ms) + 40000)) since=""
    hidden_ms=""
    while [ "$(now_ms)" -lt "$end" ]; do
        running || fail "Qor.exe ended during start-up"
        if no_qor_window; then
            [ -n "$since" ] || since=$(now_ms)
            if [ $(($(now_ms) - since)) -ge 3000 ]; then
                hidden_ms=$((since - start_ms))
                break
            fi
        else
            since=""
        fi
        sleep 0.05
    done
    [ -n "$hidden_ms" ] || fail "the window did not stay hidden: $(visible_qor_windows)"
    log "hidden in the tray after ${hidden_ms} ms"
    xdotool mousemove 640 900 # away from the tray, so that no tip covers anything
}

click_tray() { # button
    xdotool mousemove --window "$tray" 10 10 click "$1"
    sleep 0.2
    xdotool mousemove 640 900
}

shot() { # name [window]
    import -window "${2:-root}" "$out/$1.png" 2>/dev/null || true
    log "screenshot $out/$1.png"
}

menu_window() { # the tray menu: a small window of Qor.exe
    local w
    for w in $(visible_qor_windows); do
        eval "$(xdotool getwindowgeometry --shell "$w")"
        if [ "$WIDTH" -lt 300 ] && [ "$HEIGHT" -lt 100 ]; then echo "$w"; fi
    done
}
has_menu() { [ -n "$(menu_window)" ]; }

exit_from_tray() {
    # A shown window may cover the tray: its minimise button sends it back there first.
    local shown
    shown=$(main_windows | head -1)
    if [ -n "$shown" ]; then
        xdotool mousemove --window "$shown" 834 14 click 1
        xdotool mousemove 640 900
        wait_for 20 no_qor_window || fail "the minimise button did not hide the window"
    fi
    click_tray 3
    if ! wait_for 5 has_menu; then
        click_tray 3 # the tray may not have taken the first click yet
        wait_for 10 has_menu || fail "the tray menu did not open"
    fi
    sleep 0.3
    local menu
    menu=$(menu_window | head -1)
    shot tray-menu
    eval "$(xdotool getwindowgeometry --shell "$menu")"
    xdotool mousemove --window "$menu" $((WIDTH / 2)) $((HEIGHT / 2)) click 1
    wait_for 20 ended || fail "Qor.exe still runs 20 s after Exit"
    local code=0
    wait "$qor_pid" || code=$?
    qor_pid=""
    [ "$code" -eq 0 ] || fail "exit code $code after Exit"
    ! tray_window >/dev/null || fail "the tray icon is still there after Exit"
    log "Exit ended the process with code 0 and removed the tray icon"
}

case "$case_name" in
startup)
    start_qor
    ;;
tray_click)
    start_qor
    click_tray 1
    wait_for 10 has_main_window || fail "no window of ${main_w}x${main_h} after a tray click: \
$(for w in $(visible_qor_windows); do xdotool getwindowgeometry "$w"; done)"
    sleep 0.5
    shot window-shown
    shot window-shown-client "$(main_windows | head -1)"
    [ "$(main_windows | wc -l)" -eq 1 ] || fail "more than one main window"
    log "the window shows at ${main_w}x${main_h}"
    ;;
second_instance)
    start_qor
    code=0
    timeout 60 "$wine_run" "$exe" >/dev/null 2>&1 || code=$?
    [ "$code" -eq 0 ] || fail "the second instance ended with code $code"
    running || fail "the first instance ended with the second"
    click_tray 1
    wait_for 10 has_main_window || fail "no window after a tray click"
    sleep 1
    [ "$(main_windows | wc -l)" -eq 1 ] || fail "$(main_windows | wc -l) main windows"
    shot second-instance
    log "the second instance ended with code 0, one window remains"
    ;;
dpi_balloon)
    start_qor
    # The detection balloon of the start comes first; click it away.
    if has_balloon; then
        b=$(balloons | head -1)
        xdotool mousemove --window "$b" 20 20 click 1
        xdotool mousemove 640 900
        wait_for 20 no_balloon || fail "the detection balloon did not go away"
    fi
    # The emulated mouse reports: DPI switched to stage 2.
    "$wine_run" "$exe" --demo-event 7 2 >/dev/null 2>&1 || fail "the demo hook did not run"
    wait_for 10 has_balloon || fail "no balloon after the emulated DPI switch"
    sleep 0.5
    shot dpi-balloon
    b=$(balloons | head -1)
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
    click_tray 1
    wait_for 10 has_main_window || fail "no window after a tray click"
    w=$(main_windows | head -1)
    xdotool windowfocus "$w" 2>/dev/null || true
    xdotool key --window "$w" alt+F4
    wait_for 20 no_qor_window || fail "Alt+F4 did not hide the window"
    sleep 1
    running || fail "Alt+F4 ended the program"
    tray_window >/dev/null || fail "the tray icon went away with the window"
    click_tray 1
    wait_for 10 has_main_window || fail "the window did not come back from the tray"
    w=$(main_windows | head -1)
    xdotool mousemove --window "$w" 859 14 click 1 # the close button
    wait_for 20 ended || fail "the close button did not end the program"
    code=0
    wait "$qor_pid" || code=$?
    qor_pid=""
    [ "$code" -eq 0 ] || fail "exit code $code after the close button"
    ! tray_window >/dev/null || fail "the tray icon is still there after the close button"
    log "Alt+F4 hides, the close button ends with code 0 and removes the tray icon"
    exit 0
    ;;
absent_mouse)
    # The real build finds no mouse: the "Warning" box first, then the program runs on.
    wait_for 20 no_tray || fail "a tray icon is there before the start: does another Qor.exe run?"
    start_ms=$(now_ms)
    "$wine_run" "$exe" >"$work/qor.log" 2>&1 &
    qor_pid=$!
    warning=""
    has_warning() { warning=$(xdotool search --onlyvisible --name '^Warning$' 2>/dev/null | head -1); [ -n "$warning" ]; }
    wait_for 120 has_warning || fail "no \"Warning\" box without a mouse"
    sleep 0.5
    shot absent-mouse-warning "$warning"
    tray_window >/dev/null || fail "no tray icon beside the warning"
    xdotool windowfocus "$warning" 2>/dev/null || true
    xdotool key --window "$warning" Return
    gone() { ! has_warning; }
    wait_for 10 gone || fail "the warning box did not close"
    hidden_since=""
    stays_hidden() {
        if no_qor_window; then
            [ -n "$hidden_since" ] || hidden_since=$(now_ms)
            [ $(($(now_ms) - hidden_since)) -ge 3000 ]
        else
            hidden_since=""
            return 1
        fi
    }
    wait_for 40 stays_hidden || fail "the window did not go to the tray"
    tray=$(tray_window)
    xdotool mousemove 640 900
    if has_balloon; then # a balloon of the start would hide the one we look for
        b=$(balloons | head -1)
        xdotool mousemove --window "$b" 20 20 click 1
        xdotool mousemove 640 900
        wait_for 20 no_balloon || true
    fi
    click_tray 1
    wait_for 10 has_balloon || fail "a tray click without a mouse shows no balloon"
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
        pid=$(pgrep -f "qor-smoke.*Qor\.exe" | head -1 || true)
        [ -n "$pid" ] && grep -E 'VmRSS|RssAnon|VmData' "/proc/$pid/status" | tr -s ' ' | sed 's/:\s*/=/'
    } | tee "$out/measurements.txt"
    ;;
*)
    fail "unknown case"
    ;;
esac
exit_from_tray
