# The set-up the window's Wine tests share; sourced with the test's name after DEMO_DIR and
# OUT_DIR:  . ui_common.sh NAME DEMO_DIR OUT_DIR
# Gives: demo, out, here, driver, wine_run, work, app (a copy of the demo folder to work on),
# trace (the demo's wire trace), step, fail, log, hidden_soon, the file readers record_byte and
# text_of, and the Basic page's key_row and list_item; a private X server and the Wine desktop
# through tools/ui-driver, cleaned up at exit.
set -euo pipefail
ui_test=$1
demo=$(cd "$2" && pwd)
out=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
driver="$here/tools/ui-driver"
wine_run="$here/tools/wine-run"
mkdir -p "$out"
out=$(cd "$out" && pwd)

step="setup"
fail() {
    echo "FAIL [$step]: $*" >&2
    "$driver" shot "$out/ui-$ui_test-failed-$step.png" 2>/dev/null || true
    exit 1
}
log() { echo "[$step] $*"; }
# Byte N of the settings record in config.bin (after its first-run byte).
record_byte() { od -An -tu1 -j $((1 + $1)) -N1 "$app/config.bin" | tr -d ' '; }
# An INI file of the program folder (UTF-16 with a byte-order mark) as UTF-8, without line ends.
text_of() { iconv -f UTF-16 -t UTF-8 "$app/$1" | tr -d '\r'; }
# The Basic page's key row r (from 1), and item i (from 0) of its open function list.
key_row() { echo 350 $((196 + 23 * ($1 - 1))); }
list_item() { echo 350 $((208 + 23 * ($1 - 1) + 8 + 14 * $2)); }
# The window hides within 15 s of what is named.
hidden_soon() {
    local end=$(($(date +%s) + 15))
    while [ "$(date +%s)" -le "$end" ]; do
        "$driver" visible || return 0
        sleep 0.1
    done
    fail "the window is still shown 15 s after $1"
}

work=$(mktemp -d "${TMPDIR:-/tmp}/qor-ui-$ui_test.XXXXXX")
export QOR_UI_STATE="$work/.ui" QOR_UI_DESKTOP=1024x768
cleanup() {
    "$driver" cleanup || true
    rm -rf "$work"
}
trap cleanup EXIT
DISPLAY=$("$driver" xvfb)
export DISPLAY
app="$work/app"
mkdir -p "$app"
cp -r "$demo/." "$app/"
trace="$work/trace.txt"
export QOR_DEMO_TRACE="$trace"
