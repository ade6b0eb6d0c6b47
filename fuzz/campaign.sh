#!/usr/bin/env bash
# A long fuzz campaign for one target (not run by CI): fuzzes it, niced, from the kept corpus
# until it has made MAX_RUNS executions or used CPU_MINUTES of processor time, then merges what
# it found with the kept corpus into a minimal set (-merge=1) that replaces fuzz/corpus/<target>.
# A crash stops the run and leaves its input as build-fuzz/campaign/<target>-crash-*: fix the
# fault, put the input under fuzz/regressions/<target>/ and run the campaign again.
#   fuzz/campaign.sh TARGET [CPU_MINUTES (30)] [MAX_RUNS (10000000)]
# Needs the fuzz build (scripts/fuzz.sh makes it). Prints executions and CPU seconds at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
name=$1
minutes=${2:-30}
runs=${3:-10000000}
bin=build-fuzz/fuzz/fuzz_$name
work=build-fuzz/campaign/$name
log=build-fuzz/campaign/$name.log
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
mkdir -p "$work/found" "fuzz/corpus/$name"
inputs=("fuzz/corpus/$name")
for d in "fuzz/regressions/$name" "fuzz/seeds/$name"; do
  [ -d "$d" ] && inputs+=("$d")
done
source fuzz/options.sh
mapfile -t options < <(fuzz_options "$name")
# A niced fuzzer on a busy machine can wait long for the processor: the time limit of one
# input is wall-clock time, so it is raised here (the later option wins).
options+=(-timeout=600)

nice -n 19 "$bin" -runs="$runs" -print_final_stats=1 -artifact_prefix="build-fuzz/campaign/$name-" \
  "${options[@]}" "$work/found" "${inputs[@]}" >"$log" 2>&1 &
pid=$!
ticks=$(getconf CLK_TCK)
limit=$(awk -v m="$minutes" -v t="$ticks" 'BEGIN { printf "%d", m * 60 * t }')
used=0
# Processor time of the fuzzer itself (user + system), checked every few seconds.
while kill -0 "$pid" 2>/dev/null; do
  if stat=$(cat "/proc/$pid/stat" 2>/dev/null); then
    fields=(${stat##*) })
    used=$((fields[11] + fields[12]))
    if ((used >= limit)); then
      kill -INT "$pid"
      break
    fi
  fi
  sleep 5
done
status=0
wait "$pid" || status=$?
executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
echo "$name: ${executions:-?} executions, $((used / ticks)) CPU seconds, exit $status"
# 0: all runs made; 72: stopped at the time limit. Anything else (a crash) keeps the corpus
# as it was so that the crash input can be looked at first.
if [ "$status" != 0 ] && [ "$status" != 72 ]; then
  tail -n 30 "$log"
  exit 1
fi

# Minimal corpus: seeds and regressions go in first so that only what they do not already
# reach is kept, and are taken out again afterwards (they live in their own folders).
merged=$work/merged
rm -rf "$merged"
mkdir -p "$merged"
for d in "fuzz/regressions/$name" "fuzz/seeds/$name"; do
  [ -d "$d" ] && cp "$d"/* "$merged"/
done
preplaced=$(ls "$merged")
nice -n 19 "$bin" -merge=1 "${options[@]}" "$merged" "fuzz/corpus/$name" "$work/found" >"$work/merge.log" 2>&1
for f in $preplaced; do rm -f "$merged/$f"; done
rm -rf "fuzz/corpus/$name"
mv "$merged" "fuzz/corpus/$name"
echo "$name: corpus $(ls "fuzz/corpus/$name" | wc -l) files, $(du -sk "fuzz/corpus/$name" | cut -f1) KiB"
