#!/usr/bin/env bash
# Times the films a user makes from the command line: BrisutaW7 at scale 2
# (878×866 device pixels), 600 frames, building up, as points and as density,
# and turning (fewer steps, since every frame replays its whole orbit).
#   bench/video-benchmark.sh [BUILD_DIR]
# Needs ffmpeg; prints one line a film: wall-clock seconds, and CPU seconds
# of the program and the ffmpeg it waited for.
set -euo pipefail
build_dir=${1:-${VORTIQUO_BUILD_DIR:-build}}
program="$build_dir/apps/BrisutaW7"
if ! command -v ffmpeg >/dev/null; then
    echo "video-benchmark: ffmpeg is not installed; skipped"
    exit 0
fi
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

film() {
    local name=$1
    shift
    local start end
    start=$(date +%s.%N)
    /usr/bin/time -f "%U %S" -o "$scratch/cpu" "$program" --video "$scratch/$name.mp4" "$@" 2>"$scratch/err" ||
        { cat "$scratch/err" >&2; exit 1; }
    end=$(date +%s.%N)
    read -r user system <"$scratch/cpu"
    printf '  %-62s %6.1f s wall, %6.1f s CPU with ffmpeg, %5d kB\n' "$name ($*)" \
        "$(echo "$end - $start" | bc)" "$(echo "$user + $system" | bc)" "$(( $(stat -c %s "$scratch/$name.mp4") / 1024 ))"
}

echo "video-benchmark: BrisutaW7, scale 2, 600 frames at 30 a second; load average $(cut -d' ' -f1-3 /proc/loadavg)"
film points --steps 10000000 --frames 600 --scale 2
film density --steps 10000000 --frames 600 --scale 2 --density
film turning --steps 1000000 --frames 600 --scale 2 --turn
