#!/usr/bin/env bash
# The installer in a fresh Wine prefix of its own: a silent install puts the program, the factory
# files, the skins, the shortcut, the uninstall entry and the start-up value in place; the
# installed (real) Qor.exe starts and shows its tray icon; a second silent install while it runs
# ends it through its exit request, keeps the user's changed files byte for byte and starts it
# again; the silent uninstall ends it, removes the program, the entry and the start-up value and
# keeps the settings.
#
#   installer.sh SETUP_EXE OUT_DIR
#
# The prefix lives in OUT_DIR/wineprefix, made anew at every run and removed after a pass.
set -euo pipefail
setup=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out=$2
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
wine_run="$here/tools/wine-run"
driver="$here/tools/ui-driver"
version=$(basename "$setup" .exe)
version=${version#Qor-Setup-}

mkdir -p "$out"
out=$(cd "$out" && pwd)
export WINEPREFIX="$out/wineprefix"
export QOR_UI_STATE="$out/.ui" QOR_UI_DESKTOP=none
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock" "$QOR_UI_STATE"

fail() { echo "FAIL [installer]: $*" >&2; exit 1; }
log() { echo "[installer] $*"; }
now_ms() { date +%s%3N; }
wait_for() { # seconds command...
    local until=$(($(date +%s) + $1))
    shift
    until "$@"; do
        [ "$(date +%s)" -lt "$until" ] || return 1
        sleep 0.2
    done
}
cleanup() {
    "$driver" cleanup >/dev/null 2>&1 || true
    WINEPREFIX="$WINEPREFIX" wineserver -k >/dev/null 2>&1 || true
}
trap cleanup EXIT
DISPLAY=$("$driver" xvfb)
export DISPLAY

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
entry_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Qor'
reg_value() { # KEY NAME: the value's data, or status 1 when it is absent
    local line
    line=$("$wine_run" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | grep -E "^\s+$2\s+REG_") ||
        return 1
    sed -E "s/^\s+$2\s+REG_[A-Z_]+\s*//" <<<"$line"
}
qor_window() { [ -n "$(xdotool search --class '^qor\.exe$' 2>/dev/null | head -1)" ]; }
no_qor_window() { ! qor_window; }
warning_box() { xdotool search --onlyvisible --name '^Warning$' 2>/dev/null | head -1; }
has_warning() { [ -n "$(warning_box)" ]; }
no_warning() { ! has_warning; }
# The real program finds no mouse under Wine: it says so in a box, with its tray icon up.
dismiss_warning() {
    wait_for 120 has_warning || fail "$1: no \"Warning\" box from the installed Qor.exe"
    "$driver" tray >/dev/null || fail "$1: no tray icon"
    local w
    w=$(warning_box)
    xdotool windowfocus "$w" 2>/dev/null || true
    xdotool key --window "$w" Return
    wait_for 10 no_warning || fail "$1: the warning box did not close"
}

t0=$(now_ms)
local_appdata=$("$wine_run" cmd /c echo %LOCALAPPDATA% | tr -d '\r')
[ -n "$local_appdata" ] || fail "Wine gives no %LOCALAPPDATA%"
appdata=$("$wine_run" cmd /c echo %APPDATA% | tr -d '\r')
log "fresh prefix booted in $(($(now_ms) - t0)) ms"
inst=$("$wine_run" winepath -u "$local_appdata\\Programs\\Qor" 2>/dev/null | tr -d '\r')
inst=${inst%/}
shortcut=$("$wine_run" winepath -u "$appdata\\Microsoft\\Windows\\Start Menu\\Programs\\Qor.lnk" \
    2>/dev/null | tr -d '\r')

# --- first install ------------------------------------------------------------------------------
t=$(now_ms)
"$wine_run" "$setup" /S || fail "the silent install ended with status $?"
log "silent install took $(($(now_ms) - t)) ms"
# Wine names drive C: through a link; the program's working folder is the real path.
inst=$(realpath "$inst") || fail "no folder $inst after the install"
for f in Qor.exe Uninstall.exe config.bin record.ini str.ini; do
    [ -f "$inst/$f" ] || fail "$f is not in $inst"
done
[ -n "$(find "$inst/Skins" -name '*.png' 2>/dev/null | head -1)" ] || fail "no skins in $inst/Skins"
cmp -s "$inst/config.bin" "$here/resources/config.bin" || fail "config.bin is not the factory one"
[ -f "$shortcut" ] || fail "no Start menu shortcut at $shortcut"
for name in DisplayName DisplayVersion Publisher DisplayIcon InstallLocation UninstallString \
    QuietUninstallString EstimatedSize NoModify NoRepair; do
    reg_value "$entry_key" "$name" >/dev/null || fail "the uninstall entry has no $name"
done
[ "$(reg_value "$entry_key" DisplayVersion)" = "$version" ] ||
    fail "DisplayVersion is '$(reg_value "$entry_key" DisplayVersion)', not $version"
[ "$(reg_value "$entry_key" QuietUninstallString)" = "\"$local_appdata\\Programs\\Qor\\Uninstall.exe\" /S" ] ||
    fail "QuietUninstallString is '$(reg_value "$entry_key" QuietUninstallString)'"
size=$(reg_value "$entry_key" EstimatedSize)
[ $((size)) -gt 100 ] || fail "EstimatedSize is $size KB"
run=$(reg_value "$run_key" Qor) || fail "no start-up value Qor under Run"
[ "$run" = "\"$local_appdata\\Programs\\Qor\\Qor.exe\"" ] || fail "the start-up value is '$run'"
log "files, shortcut, uninstall entry and start-up value in place (EstimatedSize $((size)) KB)"

# --- the installed program runs -----------------------------------------------------------------
t=$(now_ms)
"$driver" start --no-wait "$inst"
dismiss_warning "first start"
log "installed Qor.exe showed its tray icon after $(($(now_ms) - t)) ms"
"$driver" wait-hidden 40 || fail "the window did not go to the tray"
"$driver" dismiss-balloon || true

# --- the tray menu's "Start with Windows" over the real registry --------------------------------
approved_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
click_start_item() { # the menu ends: ..., Start with Windows, a line, Exit (a line ~17 pixels)
    local m
    m=$("$driver" menu) || fail "no tray menu"
    [ -n "$out_menu_shot" ] && { import -window root "$out_menu_shot" 2>/dev/null || true; }
    eval "$(xdotool getwindowgeometry --shell "$m")"
    xdotool mousemove --window "$m" $((WIDTH / 2)) $((HEIGHT - 34)) click 1
    sleep 1
}
# Turned off in Task Manager: shown unticked, so choosing it turns the entry on there again.
"$wine_run" reg add "$approved_key" /v Qor /t REG_BINARY /d 030000000102030405060708 /f >/dev/null
out_menu_shot="$out/tray-menu-disabled.png" click_start_item
[ "$(reg_value "$run_key" Qor)" = "$run" ] || fail "re-enabling changed the Run value"
[ "$(reg_value "$approved_key" Qor)" = "020000000000000000000000" ] ||
    fail "re-enabling left the mark '$(reg_value "$approved_key" Qor || true)'"
out_menu_shot="$out/tray-menu-ticked.png" click_start_item
! reg_value "$run_key" Qor >/dev/null || fail "unticking left the Run value"
! reg_value "$approved_key" Qor >/dev/null || fail "unticking left the approval mark"
out_menu_shot="" click_start_item
[ "$(reg_value "$run_key" Qor)" = "$run" ] || fail "ticking wrote '$(reg_value "$run_key" Qor || true)'"
log "Start with Windows: re-enabled after Task Manager, off and on again in the registry"

# --- upgrade over the running program, with the user's files changed ---------------------------
printf '\x07' | dd of="$inst/config.bin" bs=1 seek=20 conv=notrunc status=none
printf '[Mine]\r\nkept=1\r\n' >>"$inst/str.ini"
mkdir -p "$inst/Profiles"
echo "a profile" >"$inst/Profiles/mine.ini"
cp "$inst/config.bin" "$out/config.before"
cp "$inst/str.ini" "$out/str.before"
old_pid=$("$driver" pid)
t=$(now_ms)
"$wine_run" "$setup" /S || fail "the second silent install ended with status $?"
log "silent upgrade (ending the running Qor) took $(($(now_ms) - t)) ms"
! kill -0 "$old_pid" 2>/dev/null || fail "the running Qor.exe was not ended by the upgrade"
cmp -s "$inst/config.bin" "$out/config.before" || fail "the upgrade changed config.bin"
cmp -s "$inst/str.ini" "$out/str.before" || fail "the upgrade changed str.ini"
[ "$(cat "$inst/Profiles/mine.ini")" = "a profile" ] || fail "the upgrade lost Profiles"
dismiss_warning "restart after the upgrade"
log "the upgrade kept config.bin, str.ini and Profiles and started Qor again"

# --- uninstall ----------------------------------------------------------------------------------
t=$(now_ms)
"$wine_run" "$inst/Uninstall.exe" /S || fail "the silent uninstall ended with status $?"
# The uninstaller runs on from a copy of itself in the temporary folder.
gone() { [ ! -e "$inst/Uninstall.exe" ] && ! reg_value "$entry_key" DisplayName >/dev/null; }
wait_for 60 gone || fail "the uninstaller did not remove itself and its entry"
wait_for 20 no_qor_window || fail "the uninstaller left Qor running"
log "silent uninstall took $(($(now_ms) - t)) ms"
for f in Qor.exe Uninstall.exe Skins; do
    [ ! -e "$inst/$f" ] || fail "$f is still in $inst"
done
[ ! -e "$shortcut" ] || fail "the Start menu shortcut is still there"
! reg_value "$run_key" Qor >/dev/null || fail "the start-up value is still there"
cmp -s "$inst/config.bin" "$out/config.before" || fail "the uninstall did not keep config.bin"
[ -f "$inst/record.ini" ] && [ -f "$inst/str.ini" ] && [ -f "$inst/Profiles/mine.ini" ] ||
    fail "the uninstall removed settings"
log "uninstalled: program, shortcut, entry and start-up value gone, settings kept"
log "whole test: $(($(now_ms) - t0)) ms"
trap - EXIT
cleanup
rm -rf "$WINEPREFIX" "$WINEPREFIX.lock" "$QOR_UI_STATE" "$out/config.before" "$out/str.before"
