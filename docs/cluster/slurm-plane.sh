#!/bin/sh
# A parameter plane on a SLURM cluster: a job array computes one tile per
# task, and a merge job that waits for all of them (afterok) writes the file
# that one process would write.
#
#   PROGRAM=DrumbelW7 TILES=16 ./slurm-plane.sh /shared/piano.png [OPTIONS...]
#
# OPTIONS are those of PROGRAM --plane (--a, --b, --c, --size, --transient,
# --iterations for a map, --duration for a flow, --set). A flow's plane is
# the heavy one, each pixel many Euler steps with a tangent vector:
#   PROGRAM=BrisutaW7 TILES=64 ... --size 512x512 --transient 20 --duration 100
# The output's folder must be shared by the nodes.
# Prints the merge job's id.
set -eu
out=$1
shift
program=${PROGRAM:-DrumbelW7}
tiles=${TILES:-16}
parts="${out}.parts"
mkdir -p "$parts"
array=$(sbatch --parsable --job-name=piano --array="1-$tiles" --output="$parts/tile-%a.log" \
    --wrap="$program --plane $parts/part-\$SLURM_ARRAY_TASK_ID.png --tile \$SLURM_ARRAY_TASK_ID/$tiles --threads \${SLURM_CPUS_PER_TASK:-1} $*")
sbatch --parsable --job-name=unisci --dependency="afterok:$array" --output="$parts/merge.log" \
    --wrap="$program --merge $out $parts/part-*.png && rm -f $parts/part-*.png"
