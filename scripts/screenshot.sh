#!/usr/bin/env bash
# Takes the README's picture: starts the built program on the sample photo on a virtual
# display, waits until the list and the camera panel are drawn, saves the window as a PNG and
# closes the program again.
#
#   scripts/screenshot.sh [program] [output.png]   (default: build/lumoskop, docs/screenshot.png)
#   LUMOSKOP_LANGUAGE=ja scripts/screenshot.sh build/lumoskop docs/screenshot-ja.png
#
# Needs Xvfb, xdotool, xwininfo, ImageMagick's import and exiftool (scripts/install-deps.sh --test).
# The user's own settings are never read or touched: the program gets a settings folder of its
# own, and works on a copy of the sample, so no report is left in samples/.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
# The picture is taken on a desktop of its own (a virtual display with a window manager).
if [ -z "${LUMOSKOP_ON_SCREENSHOT_DESKTOP:-}" ]; then
    export LUMOSKOP_ON_SCREENSHOT_DESKTOP=1
    exec "$here/scripts/desktop-session.sh" --size 1280x1024 "$0" "$@"
fi
program=${1:-"$here/${BUILD_DIR:-build}/lumoskop"}
out=${2:-"$here/docs/screenshot.png"}
title='Lumoskop - Qwerin'

for tool in xdotool xwininfo import exiftool; do
    command -v "$tool" >/dev/null 2>&1 || { echo "screenshot.sh: $tool is missing" >&2; exit 1; }
done
[ -x "$program" ] || { echo "screenshot.sh: no program at $program (build it first)" >&2; exit 1; }
program=$(cd "$(dirname "$program")" && pwd)/$(basename "$program")
case "$out" in /*) ;; *) out="$PWD/$out" ;; esac

tmp=$(mktemp -d)
app_pid=""
cleanup() {
    [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
    rm -rf "$tmp"
}
trap cleanup EXIT INT TERM

# Waits up to $1 tenths of a second for the command after it to succeed.
wait_for() {
    local tries=$1
    shift
    until "$@"; do
        tries=$((tries - 1))
        [ "$tries" -gt 0 ] || return 1
        sleep 0.1
    done
}

mkdir -p "$tmp/Fotos" "$tmp/config/Lumoskop" "$tmp/data"
# The language ExifTool reports in, as if chosen in the window before.
if [ -n "${LUMOSKOP_LANGUAGE:-}" ]; then
    printf '[Options]\nLumoskopSprache=%s\n' "$LUMOSKOP_LANGUAGE" >"$tmp/config/Lumoskop/Lumoskop.conf"
fi
cp "$here/samples/lumoskop-sample.jpg" "$tmp/Fotos/"
photo="$tmp/Fotos/lumoskop-sample.jpg"
report="$tmp/Fotos/lumoskop-sample.txt"

(
    export XDG_CONFIG_HOME="$tmp/config" XDG_DATA_HOME="$tmp/data"
    export QT_LOGGING_RULES='qt.multimedia*=false'
    cd "$tmp"
    exec "$program" "$photo"
) 2>"$tmp/program.log" &
app_pid=$!

# A program that has ended but is not yet reaped still answers kill -0; ps tells it apart.
running() { local state; state=$(ps -o stat= -p "$app_pid" 2>/dev/null) && [[ $state != Z* ]]; }
window=""
shown() {
    running || { echo "screenshot.sh: the program ended early" >&2; cat "$tmp/program.log" >&2; exit 1; }
    window=$(xdotool search --onlyvisible --name "^$title\$" 2>/dev/null | head -n1)
    [ -n "$window" ]
}
wait_for 300 shown || { echo "screenshot.sh: the window did not show" >&2; cat "$tmp/program.log" >&2; exit 1; }
# The report is there once ExifTool has finished; the program reads it straight after.
wait_for 300 test -s "$report" || { echo "screenshot.sh: ExifTool wrote no report" >&2; exit 1; }

geometry() {
    xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$NF} /Absolute upper-left Y/ {y=$NF}
        /Width:/ {w=$NF} /Height:/ {h=$NF} END {print w "x" h "+" x "+" y}'
}
# The window is drawn when it stays the same over half a second of captures (ExifTool's end,
# the reading of the report and the painting take a few moments between them).
capture() { import -window root -crop "$(geometry)" +repage "$1"; }
same=0
settled() {
    capture "$tmp/now.png"
    if [ -f "$tmp/before.png" ] && cmp -s <(convert "$tmp/before.png" rgb:-) <(convert "$tmp/now.png" rgb:-); then
        same=$((same + 1))
    else
        same=0
    fi
    cp "$tmp/now.png" "$tmp/before.png"
    [ "$same" -ge 5 ]
}
wait_for 300 settled || { echo "screenshot.sh: the window kept changing" >&2; exit 1; }

mkdir -p "$(dirname "$out")"
mv "$tmp/now.png" "$out"
echo "$out ($(geometry))"

# Closed the way a user closes it (File, End), so it stores its settings and removes the report.
xdotool windowfocus --sync "$window" key --clearmodifiers alt+f
xdotool key --clearmodifiers e
if wait_for 100 eval '! running'; then
    wait "$app_pid" || true
    app_pid=""
else
    echo "screenshot.sh: the program did not close; ended it" >&2
fi
