#!/usr/bin/env bash
# The map on a real batch scheduler: starts a one-node cluster of Debian's slurm-wlm (controller,
# node daemon) and munge (its authentication daemon), configured in a temporary folder and run as
# this script's children; submits the map of a test scene as a job array of 4 tasks written as the
# documentation writes it (the shard count in the script), cancels one task, checks that the merge
# chained with afterany runs and names the missing shard, re-runs that task the documented way
# (`sbatch --array=K`), merges the shards and compares the bytes with the map made on this machine
# in one go. Cancels
# the jobs and stops the daemons by their process ids at the end, whatever happened. When the
# daemons cannot be started it fails with the reason; it never skips.
#
#   tests/cluster/slurm-map-test.sh path/to/sonivera-cli path/to/scene.3d
set -euo pipefail

cli=$(readlink -f "$1")
scene=$(readlink -f "$2")
step=${MAP_STEP:-4}
started=$(date +%s)
work=""

fail() {
  echo "slurm-map-test: FAILED: $*" >&2
  if [ -n "$work" ]; then
    for log in "$work"/*.log; do
      [ -f "$log" ] && { echo "--- $log" >&2; tail -n 30 "$log" >&2; }
    done
  fi
  exit 1
}

for tool in slurmctld slurmd munged sbatch squeue scancel scontrol; do
  command -v "$tool" >/dev/null || fail "$tool is not installed (scripts/install-deps installs slurm-wlm and munge)"
done

# A short path: the authentication daemon's socket path must stay under 108 bytes. The folder
# must be mode 0755 (munged refuses 0700 and group-writable folders).
work=$(mktemp -d /tmp/svslurm.XXXXXX)
chmod 0755 "$work"
pids=()
cleanup() {
  if [ -f "$work/slurm.conf" ]; then
    # Jobs first: a job's step outlives the daemons.
    SLURM_CONF="$work/slurm.conf" scancel --quiet --full --user="$(id -un)" 2>/dev/null || true
  fi
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
  done
  for pid in "${pids[@]}"; do
    for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null || true
  done
  pkill -f "$work" 2>/dev/null || true
  [ -n "$work" ] && rm -rf "$work"
}
trap cleanup EXIT

user=$(id -un)
mkdir -m 0755 -p "$work/munge" "$work/state" "$work/spool" "$work/out"
dd if=/dev/urandom of="$work/munge/munge.key" bs=1024 count=1 status=none
chmod 0400 "$work/munge/munge.key"
socket="$work/munge/sock"
munged --foreground --force --socket="$socket" --key-file="$work/munge/munge.key" \
  --log-file="$work/munged.log" --pid-file="$work/munge/munged.pid" \
  --seed-file="$work/munge/seed" >"$work/munged-out.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -S "$socket" ] && break; sleep 0.1; done
[ -S "$socket" ] || fail "munged did not start"

free_port() {
  if command -v python3 >/dev/null; then
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
  else
    echo $((20000 + RANDOM % 30000))
  fi
}

cpus=$(nproc)
start_cluster() {
  local ctld_port=$1 slurmd_port=$2
  cat >"$work/slurm.conf" <<CONF
ClusterName=sonivera
SlurmctldHost=localhost
SlurmUser=$user
SlurmdUser=$user
SlurmctldPort=$ctld_port
SlurmdPort=$slurmd_port
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
StateSaveLocation=$work/state
SlurmdSpoolDir=$work/spool
SlurmctldPidFile=$work/slurmctld.pid
SlurmdPidFile=$work/slurmd.pid
SlurmctldLogFile=$work/slurmctld.log
SlurmdLogFile=$work/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/none
SwitchType=switch/none
MpiDefault=none
MailProg=/bin/true
SchedulerType=sched/backfill
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
MinJobAge=2
ReturnToService=2
SlurmdTimeout=30
InactiveLimit=0
KillWait=5
NodeName=localhost NodeAddr=127.0.0.1 CPUs=$cpus RealMemory=1000 State=UNKNOWN
PartitionName=maps Nodes=localhost Default=YES MaxTime=INFINITE State=UP
CONF
  export SLURM_CONF="$work/slurm.conf"
  slurmctld -D -i -f "$work/slurm.conf" >"$work/slurmctld-out.log" 2>&1 &
  ctld=$!
  slurmd -D -N localhost -f "$work/slurm.conf" >"$work/slurmd-out.log" 2>&1 &
  node=$!
  for _ in $(seq 100); do
    kill -0 "$ctld" 2>/dev/null && kill -0 "$node" 2>/dev/null || break
    if scontrol show node localhost 2>/dev/null | grep -qE "State=(IDLE|MIXED|ALLOCATED)"; then
      pids+=("$ctld" "$node")
      return 0
    fi
    sleep 0.2
  done
  kill "$ctld" "$node" 2>/dev/null || true
  wait "$ctld" "$node" 2>/dev/null || true
  return 1
}

up=no
for attempt in 1 2 3 4 5; do
  if start_cluster "$(free_port)" "$(free_port)"; then
    up=yes
    break
  fi
  echo "slurm-map-test: the cluster did not come up (attempt $attempt); new ports" >&2
done
[ "$up" = yes ] || fail "slurmctld and slurmd could not be started"
echo "slurm-map-test: one-node cluster up ($cpus CPUs)"

cat >"$work/map-job.sh" <<JOB
#!/bin/bash
#SBATCH --job-name=sonivera-map
#SBATCH --array=0-3
#SBATCH --cpus-per-task=1
#SBATCH --output=$work/out/task-%a.txt
exec "$cli" map "$scene" --step $step --threads 1 --shards 4 \
    -o "$work/out/map-\$SLURM_ARRAY_TASK_ID.shard"
JOB
# Task 2 is held back and then cancelled: a task lost on a real cluster.
jobid=$(sbatch --parsable --hold "$work/map-job.sh") || fail "the job array could not be submitted"
scancel "${jobid}_2" || fail "task 2 could not be cancelled"
scontrol release "$jobid" >/dev/null 2>&1 || fail "the job array could not be released"
cat >"$work/merge-job.sh" <<JOB
#!/bin/bash
#SBATCH --job-name=sonivera-merge
#SBATCH --output=$work/out/merge.txt
exec "$cli" map-merge $work/out/map-*.shard -o "$work/first.csv"
JOB
if sbatch --parsable --wait --dependency="afterany:$jobid" "$work/merge-job.sh" >/dev/null; then
  fail "the merge after a lost task succeeded"
fi
grep -q "shard(s) 2 of 4 (counted from 0) are missing" "$work/out/merge.txt" ||
  fail "the merge chained with afterany did not name the missing shard: $(cat "$work/out/merge.txt")"
[ ! -e "$work/out/map-2.shard" ] || fail "the cancelled task wrote a shard"
echo "slurm-map-test: array $jobid ran with task 2 lost; the afterany merge named it"
sbatch --parsable --wait --array=2 "$work/map-job.sh" >/dev/null ||
  fail "the re-run of task 2 failed (sbatch --array=2 --wait)"
for k in 0 1 2 3; do
  [ -s "$work/out/map-$k.shard" ] || fail "task $k wrote no shard ($(cat "$work/out/task-$k.txt" 2>/dev/null))"
  grep -q "shard $k of 4" "$work/out/task-$k.txt" || fail "task $k did not say which shard it took"
done
echo "slurm-map-test: task 2 re-run alone computed shard 2 of 4"

"$cli" map-merge "$work/out/map-2.shard" "$work/out/map-0.shard" "$work/out/map-3.shard" \
  "$work/out/map-1.shard" -o "$work/merged.csv" -o "$work/merged.png" \
  || fail "map-merge refused the shards"
"$cli" map "$scene" --step "$step" --csv "$work/one.csv" -o "$work/one.png" \
  || fail "the one-machine map failed"
cmp "$work/merged.csv" "$work/one.csv" || fail "the merged CSV differs from the one-machine map's"
cmp "$work/merged.png" "$work/one.png" || fail "the merged picture differs from the one-machine map's"
echo "slurm-map-test: merged bytes equal the one-machine map ($(wc -l <"$work/one.csv") CSV lines); $(( $(date +%s) - started )) s"
