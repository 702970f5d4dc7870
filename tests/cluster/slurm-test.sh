#!/bin/sh
# The SLURM example on a one-machine cluster made here in a temporary folder:
# munged with its own key and socket, slurmctld and slurmd with their own
# ports and paths. The job array's tiles, merged, must be the bytes that one
# process writes. Skipped (77) without the daemons or without root.
# Usage: slurm-test.sh PROGRAM_DIR SCRIPT_DIR
set -eu
for tool in munged mungekey slurmctld slurmd sbatch sinfo squeue; do
    command -v $tool >/dev/null || exit 77
done
[ "$(id -u)" = 0 ] || exit 77
PATH=$1:$PATH
export PATH
work=$(mktemp -d /tmp/vortiquo-slurm.XXXXXX)
chmod 755 "$work"
stop() {
    for pid in "$work"/slurmd.pid "$work"/slurmctld.pid "$work"/munged.pid; do
        [ -s "$pid" ] && kill "$(cat "$pid")" 2>/dev/null || true
    done
    sleep 1
    rm -rf "$work"
}
trap stop EXIT

mungekey -c -k "$work/munge.key" >/dev/null 2>&1 || mungekey -c -f -k "$work/munge.key"
chmod 600 "$work/munge.key"
munged --key-file="$work/munge.key" --socket="$work/munge.socket" --pid-file="$work/munged.pid" \
    --log-file="$work/munged.log" --seed-file="$work/munged.seed" -f

port=$((20000 + $$ % 20000))
host=$(hostname)
cat > "$work/slurm.conf" <<CONF
ClusterName=vortiquotest
SlurmctldHost=$host
SlurmUser=root
AuthType=auth/munge
AuthInfo=socket=$work/munge.socket
CredType=cred/munge
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SlurmctldPort=$port
SlurmdPort=$((port + 1))
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
ReturnToService=2
MpiDefault=none
NodeName=$host CPUs=$(nproc) State=UNKNOWN
PartitionName=test Nodes=$host Default=YES MaxTime=INFINITE State=UP
CONF
mkdir -p "$work/state" "$work/spool"
SLURM_CONF=$work/slurm.conf
export SLURM_CONF
slurmctld -f "$SLURM_CONF"
slurmd -f "$SLURM_CONF"
for _ in $(seq 1 30); do
    sinfo -h -o %t 2>/dev/null | grep -q idle && break
    sleep 1
done

cd "$work"
options="--size 64x64 --transient 50 --iterations 200 --b -0.4:0.45"
# A flow's plane too: its durations in units of time, a few Euler steps a pixel.
flow="--size 12x8 --transient 2 --duration 5 --c 3:6 --set dtT=2e-3"
# shellcheck disable=SC2086
merge=$(PROGRAM=DrumbelW7 TILES=4 "$2/slurm-plane.sh" "$work/tiles.png" $options)
# shellcheck disable=SC2086
flowMerge=$(PROGRAM=KelvaneW7 TILES=2 "$2/slurm-plane.sh" "$work/flow-tiles.png" $flow)
for _ in $(seq 1 60); do
    [ -z "$(squeue -h -o %i 2>/dev/null)" ] && break
    sleep 1
done
[ -z "$(squeue -h -o %i)" ] || { echo "jobs still queued"; squeue; exit 1; }
# shellcheck disable=SC2086
DrumbelW7 --plane "$work/one.png" $options
cmp "$work/tiles.png" "$work/one.png" || { cat "$work"/tiles.png.parts/*.log; exit 1; }
# shellcheck disable=SC2086
KelvaneW7 --plane "$work/flow-one.png" $flow
cmp "$work/flow-tiles.png" "$work/flow-one.png" || { cat "$work"/flow-tiles.png.parts/*.log; exit 1; }
echo "merge jobs $merge and $flowMerge: same bytes"
