#!/bin/sh
# A parameter plane computed in tiles by GNU parallel, on this machine's cores
# or on other machines, then merged into the file that one process would write.
#
#   PROGRAM=DrumbelW7 TILES=8 JOBS=2 ./parallel-plane.sh piano.png [OPTIONS...]
#   PARALLEL_LOGIN="--sshlogin 4/host1,4/host2" ... ./parallel-plane.sh piano.png
#
# OPTIONS are those of PROGRAM --plane (--a, --b, --c, --size, --transient,
# --iterations for a map, --duration for a flow, --set). A flow's plane is
# the heavy one, each pixel many Euler steps with a tangent vector:
#   PROGRAM=BrisutaW7 TILES=64 ... --size 512x512 --transient 20 --duration 100
# With --sshlogin, the program must be installed on
# every machine, and the working folder shared (or add --transferfile and
# --return to PARALLEL_LOGIN).
set -eu
out=$1
shift
program=${PROGRAM:-DrumbelW7}
tiles=${TILES:-8}
jobs=${JOBS:-0}   # 0: one job per core
work=$(mktemp -d "${out}.parts.XXXXXX")
trap 'rm -rf "$work"' EXIT
# shellcheck disable=SC2086
seq 1 "$tiles" | parallel --halt now,fail=1 --jobs "$jobs" ${PARALLEL_LOGIN:-} \
    "$program" --plane "$work/part-{}.png" --tile "{}/$tiles" --threads 1 "$@"
"$program" --merge "$out" "$work"/part-*.png
