#!/usr/bin/env bash
# Runs one command on a desktop of its own, as a user's session would host the program: a
# virtual X display (Xvfb, 96 dpi) with the openbox window manager, so windows get frames,
# focus and activation from a real window manager, and a D-Bus session bus of its own, as
# every desktop has one. With --accessibility the command also gets an AT-SPI bus, as a
# screen reader finds it.
#
#   scripts/desktop-session.sh [--size 1600x1200] [--accessibility] [--] command [args...]
#
# Xvfb picks a free display number itself (-displayfd), so sessions started side by side
# (CTest -j) never meet. Everything started here is ended here, by process id.
set -euo pipefail

size=1600x1200
accessibility=0
while [ $# -gt 0 ]; do
    case "$1" in
    --size) size=$2; shift 2 ;;
    --accessibility) accessibility=1; shift ;;
    --) shift; break ;;
    *) break ;;
    esac
done
[ $# -gt 0 ] || { echo "desktop-session.sh: no command given" >&2; exit 2; }

# The session bus is started first, and this script runs again inside it: so the command
# never meets the bus of whoever started the script, nor runs without one.
if [ -z "${LUMOSKOP_IN_BUS_SESSION:-}" ]; then
    command -v dbus-run-session >/dev/null || {
        echo "desktop-session.sh: dbus-run-session is missing (scripts/install-deps.sh --test)" >&2
        exit 1
    }
    export LUMOSKOP_IN_BUS_SESSION=1
    again=("$0" --size "$size")
    [ "$accessibility" = 1 ] && again+=(--accessibility)
    exec dbus-run-session -- "${again[@]}" -- "$@"
fi

for tool in Xvfb openbox xprop; do
    command -v "$tool" >/dev/null 2>&1 || {
        echo "desktop-session.sh: $tool is missing (scripts/install-deps.sh --test)" >&2
        exit 1
    }
done

tmp=$(mktemp -d)
pids=()
cleanup() {
    local i
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[$i]}" 2>/dev/null || true
        wait "${pids[$i]}" 2>/dev/null || true
    done
    rm -rf "$tmp"
}
trap cleanup EXIT
trap 'exit 143' INT TERM

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

# -noreset: Xvfb would otherwise reset when its last client leaves (a test that ends the window
# manager while no window is open), and refuse the next program while it does.
Xvfb -displayfd 3 -screen 0 "${size}x24" -dpi 96 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
pids+=($!)
wait_for 100 test -s "$tmp/display" || { echo "desktop-session.sh: Xvfb did not start" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$tmp/display")"
unset WAYLAND_DISPLAY

# openbox announces itself on the root window once it manages the screen; windows mapped
# before that would be placed without a frame.
wm_ready() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
pids+=($!)
wait_for 100 wm_ready || { echo "desktop-session.sh: openbox did not start" >&2; cat "$tmp/openbox.log" >&2; exit 1; }

if [ "$accessibility" = 1 ]; then
    launcher=""
    for candidate in /usr/libexec/at-spi-bus-launcher /usr/lib/at-spi2-core/at-spi-bus-launcher; do
        [ -x "$candidate" ] && launcher=$candidate && break
    done
    [ -n "$launcher" ] || { echo "desktop-session.sh: at-spi-bus-launcher is missing" >&2; exit 1; }
    "$launcher" --launch-immediately >"$tmp/atspi.log" 2>&1 &
    pids+=($!)
    a11y_ready() {
        dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress 2>/dev/null |
            grep -q unix
    }
    wait_for 100 a11y_ready || { echo "desktop-session.sh: the AT-SPI bus did not start" >&2; cat "$tmp/atspi.log" >&2; exit 1; }
    # Qt connects to it only when told that assistive technology is present.
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
fi

export QT_QPA_PLATFORM=xcb
# Under AddressSanitizer (scripts/test-asan.sh): libxkbcommon-x11, which Qt's X11 platform
# loads at every start, hands strndup() key names that end at their length, not at a zero
# byte; strict string checks take that well-defined read for an overflow.
if [ -n "${ASAN_OPTIONS:-}" ]; then
    export ASAN_OPTIONS="$ASAN_OPTIONS:strict_string_checks=0"
fi
status=0
"$@" || status=$?
exit "$status"
