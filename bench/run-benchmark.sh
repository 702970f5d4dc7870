#!/usr/bin/env bash
# Builds vortiquo-bench (Release) when needed and runs it on the two
# platforms: xcb, on the X server of DISPLAY or on an Xvfb started here, and
# offscreen.
#   bench/run-benchmark.sh           the full measurement (a few minutes)
#   bench/run-benchmark.sh --smoke   a run of seconds that checks that it all works
# VORTIQUO_BUILD_DIR names the build directory (default: build). It is
# configured as a Release build with warnings as errors, unless
# VORTIQUO_BENCH_CONFIGURE=no: then a directory already configured (say, the
# sanitizer build) is used as it is.
set -euo pipefail
cd "$(dirname "$0")/.."

scratch=$(mktemp -d)
build_dir=${VORTIQUO_BUILD_DIR:-build}
configure() {
    if [ "${VORTIQUO_BENCH_CONFIGURE:-yes}" = no ]; then
        [ -f "$build_dir/CMakeCache.txt" ] && return
        echo "run-benchmark: $build_dir is not configured; configure it, or drop VORTIQUO_BENCH_CONFIGURE=no" >&2
        return 1
    fi
    cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVORTIQUO_WERROR=ON
}
# The build speaks only when it fails.
if ! { configure && cmake --build "$build_dir" --target vortiquo-bench; } >"$scratch/build.log" 2>&1; then
    cat "$scratch/build.log" >&2
    rm -rf "$scratch"
    exit 1
fi
bench="$build_dir/bench/vortiquo-bench"

xvfb_pid=""
cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null || true
        wait "$xvfb_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT

if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    export XDG_RUNTIME_DIR="$scratch/runtime"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
fi

if [ -z "${DISPLAY:-}" ]; then
    if ! command -v Xvfb >/dev/null; then
        echo "run-benchmark: no DISPLAY and no Xvfb to start" >&2
        exit 1
    fi
    # Xvfb picks a free display number and writes it to descriptor 3.
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
    xvfb_pid=$!
    for _ in $(seq 100); do
        [ -s "$scratch/display" ] && break
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    if [ ! -s "$scratch/display" ]; then
        echo "run-benchmark: Xvfb did not start" >&2
        cat "$scratch/xvfb.log" >&2
        exit 1
    fi
    export DISPLAY=":$(tr -d '[:space:]' <"$scratch/display")"
fi

status=0
for platform in xcb offscreen; do
    echo "=== $platform"
    QT_QPA_PLATFORM=$platform "$bench" "$@" || status=1
    echo
done
# The films, made by a program itself (left out of a smoke run).
if [ "${1:-}" != --smoke ]; then
    bench/video-benchmark.sh "$build_dir" || status=1
fi
exit $status
