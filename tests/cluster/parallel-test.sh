#!/bin/sh
# The GNU parallel example, 2 jobs and 4 tiles, against one process: the
# same bytes, for a map's plane and a flow's. Usage: parallel-test.sh
# PROGRAM_DIR SCRIPT_DIR
set -eu
command -v parallel >/dev/null || exit 77
PATH=$1:$PATH
export PATH
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
options="--size 64x64 --transient 50 --iterations 200 --a -0.2:1.5"
# shellcheck disable=SC2086
PROGRAM=DrumbelW7 TILES=4 JOBS=2 "$2/parallel-plane.sh" "$work/tiles.png" $options
# shellcheck disable=SC2086
DrumbelW7 --plane "$work/one.png" $options
cmp "$work/tiles.png" "$work/one.png"
# A flow's plane: its durations in units of time, a few Euler steps a pixel.
flow="--size 12x8 --transient 2 --duration 5 --c 3:6 --set dtT=2e-3"
# shellcheck disable=SC2086
PROGRAM=KelvaneW7 TILES=4 JOBS=2 "$2/parallel-plane.sh" "$work/flow-tiles.png" $flow
# shellcheck disable=SC2086
KelvaneW7 --plane "$work/flow-one.png" $flow
cmp "$work/flow-tiles.png" "$work/flow-one.png"
