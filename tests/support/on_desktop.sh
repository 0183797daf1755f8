#!/usr/bin/env bash
# Runs a command on a desktop of its own, the way users meet the program:
#
#   bare      a virtual X display (Xvfb) without a window manager
#   xfwm4     the same display with the xfwm4 window manager
#   metacity  the same display with the metacity window manager
#   weston    a Wayland session: weston's headless back end, Qt's Wayland platform (with
#             weston's debugging protocols on, so weston-screenshooter can take pictures)
#
# Every desktop has a session D-Bus of its own, on which the accessibility bus starts when
# asked, so a screen reader's view of the program can be read (AT-SPI); Qt is told to offer
# it. The command learns the desktop from CLIPFERRY_DESKTOP. Exits 77 (a skipped test) with
# the reason when something the desktop needs is not installed.
#
# usage: on_desktop.sh DESKTOP COMMAND [ARGUMENT...]
set -euo pipefail
desktop=$1
shift

skip() {
    echo "SKIP: $*"
    exit 77
}
need() {
    command -v "$1" >/dev/null || skip "$1 is not installed (scripts/install-deps.sh)"
}

# The outer run: a folder for this desktop, and a session D-Bus whose services (the
# accessibility bus among them) keep their sockets in it, apart from other desktops'. The
# bus must not learn the caller's display: the accessibility bus announces itself on the
# display it knows, and desktops running side by side would find each other's.
# Of the services installed on the machine, the bus starts the accessibility bus only
# (desktop_bus.conf): a notification daemon or a portal started on it would look for a
# display it cannot reach and die, or bring this desktop's news to the developer's own.
if [ -z "${CLIPFERRY_DESKTOP:-}" ]; then
    need dbus-run-session
    tmp=$(mktemp -d)
    trap 'rm -rf "$tmp"' EXIT
    mkdir -m 700 "$tmp/runtime"
    status=0
    env -u DISPLAY -u WAYLAND_DISPLAY -u XAUTHORITY CLIPFERRY_DESKTOP="$desktop" \
        CLIPFERRY_DESKTOP_FOLDER="$tmp" XDG_RUNTIME_DIR="$tmp/runtime" \
        dbus-run-session --config-file="$(dirname "$0")/desktop_bus.conf" -- \
        "$0" "$desktop" "$@" || status=$?
    exit "$status"
fi

tmp=$CLIPFERRY_DESKTOP_FOLDER
pids=()
# shellcheck disable=SC2317 # run by the trap below
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null || true
    done
}
trap cleanup EXIT

# Waits up to 20 s for a command to succeed.
wait_for() {
    for _ in $(seq 200); do
        if "$@" >/dev/null 2>&1; then return 0; fi
        sleep 0.1
    done
    return 1
}

start_x() {
    need Xvfb
    need xprop
    # -noreset: by default the server resets when its last client leaves, and a client that
    # connects during that reset is turned away (the readiness probes below are such clients).
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$tmp/display" 2>"$tmp/xvfb.log" &
    pids+=($!)
    wait_for test -s "$tmp/display" || { cat "$tmp/xvfb.log"; echo "Xvfb did not start" >&2; exit 1; }
    DISPLAY=":$(cat "$tmp/display")"
    export DISPLAY
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY
    # Clients are let in only once the server answers one.
    wait_for xprop -root || { cat "$tmp/xvfb.log"; echo "Xvfb does not answer" >&2; exit 1; }
}

# The window manager is ready once it has claimed the screen. One that gives up at once is
# started once more.
start_window_manager() {
    need "$1"
    local pid
    for _ in 1 2; do
        "$@" >"$tmp/wm.log" 2>&1 &
        pid=$!
        pids+=("$pid")
        for _ in $(seq 200); do
            if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
                return 0
            fi
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        cat "$tmp/wm.log"
    done
    echo "$1 did not take over the display" >&2
    exit 1
}

start_weston() {
    need weston
    ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
        skip "Qt's Wayland platform is not installed (qt6-wayland)"
    # No fading: a screenshot shows the windows as they are, not as they were.
    printf '[shell]\nanimation=none\nclose-animation=none\nstartup-animation=none\n' \
        >"$tmp/weston.ini"
    weston --config="$tmp/weston.ini" --backend=headless-backend.so --use-pixman \
        --width=1280 --height=1024 --socket=clipferry-wayland --idle-time=0 --debug \
        >"$tmp/weston.log" 2>&1 &
    pids+=($!)
    if ! wait_for test -S "$XDG_RUNTIME_DIR/clipferry-wayland"; then
        cat "$tmp/weston.log"
        echo "weston did not start" >&2
        exit 1
    fi
    export WAYLAND_DISPLAY=clipferry-wayland QT_QPA_PLATFORM=wayland
    # Qt's Wayland platform starts EGL (it decides on window decorations through it), which
    # for a compositor without a GPU is Mesa's software renderer. Its default, llvmpipe,
    # leaves LLVM's one-time set-up unfreed and unloads LLVM before a sanitizer's leak check
    # could name it; softpipe draws the same without LLVM.
    export GALLIUM_DRIVER=softpipe
    unset DISPLAY
}

case $desktop in
bare) start_x ;;
xfwm4) start_x && start_window_manager xfwm4 --compositor=off ;;
metacity) start_x && start_window_manager metacity --sm-disable --no-composite ;;
weston) start_weston ;;
*)
    echo "unknown desktop: $desktop" >&2
    exit 2
    ;;
esac

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
status=0
"$@" || status=$?
exit "$status"
