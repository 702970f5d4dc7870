#!/bin/sh
# Times the parameter plane on 1 and 2 threads (512x512, T = 600, N = 2000)
# and checks that both files are the same bytes. Wall and user CPU time; on a
# shared machine the user time is the steadier figure. Then the planes of
# the quadratic map and the convection flow against the plain loop of their
# arithmetic (vortiquo-bench --planes-only, built in BUILD_DIR).
# Usage: bench/sweep-benchmark.sh BUILD_DIR [PROGRAM]
set -eu
apps=$1/apps
program=${2:-DrumbelW7}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for threads in 1 2; do
    /usr/bin/time -f "$program --plane 512x512 T=600 N=2000, $threads thread(s): %e s wall, %U s user" \
        "$apps/$program" --plane "$work/plane-$threads.png" --size 512x512 --transient 600 --iterations 2000 \
        --threads "$threads"
done
cmp "$work/plane-1.png" "$work/plane-2.png" && echo "1 and 2 threads: same bytes"
QT_QPA_PLATFORM=offscreen "$1/bench/vortiquo-bench" --planes-only
