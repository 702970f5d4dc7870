#!/bin/sh
# Runs one test program on Wayland: a headless compositor of its own, in a
# runtime folder of its own, gone when the test ends. Exit 77 (skipped)
# where the compositor or Qt's Wayland plugin is not installed.
set -u
test_program="$1"
shift
command -v weston >/dev/null 2>&1 || { echo "no weston on the PATH"; exit 77; }
ls /usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so >/dev/null 2>&1 ||
    { echo "no Qt Wayland platform plugin"; exit 77; }

runtime=$(mktemp -d)
chmod 700 "$runtime"
weston_pid=""
cleanup() {
    [ -n "$weston_pid" ] && kill "$weston_pid" 2>/dev/null && wait "$weston_pid" 2>/dev/null
    rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

XDG_RUNTIME_DIR="$runtime" weston --no-config --backend=headless-backend.so --socket=vortiquo-test --idle-time=0 \
    >"$runtime/weston.log" 2>&1 &
weston_pid=$!
tries=0
until [ -S "$runtime/vortiquo-test" ]; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$weston_pid" 2>/dev/null; then
        echo "weston did not start:"
        cat "$runtime/weston.log"
        exit 1
    fi
    sleep 0.1
done

# Wayland alone: with no X display to fall back on, a plugin that cannot
# connect fails the test instead of choosing another platform.
env -u DISPLAY XDG_RUNTIME_DIR="$runtime" WAYLAND_DISPLAY=vortiquo-test QT_QPA_PLATFORM=wayland \
    "$test_program" "$@"
status=$?
exit "$status"
