#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (ASan + UBSan) and runs each for SECONDS (default 30),
# starting from the kept corpus, the crash regressions and the seeds under fuzz/ (read only:
# what a run finds goes to build-fuzz/corpus/<target>). Fails on any crash.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
CC=clang CXX=clang++ scripts/build.sh build-fuzz -DRAVELIN_FUZZ=ON -DRAVELIN_SANITIZE=ON \
  -DRAVELIN_TESTS=OFF -DRAVELIN_SHELL=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRAVELIN_GENERATED_DIR="$PWD/build/generated"
shopt -s nullglob
targets=(build-fuzz/fuzz/fuzz_*)
if ((${#targets[@]} == 0)); then
  echo "no fuzz targets"
  exit 0
fi
source fuzz/options.sh
failed=0
for t in "${targets[@]}"; do
  [ -x "$t" ] || continue
  name=$(basename "$t")
  short=${name#fuzz_}
  corpus=build-fuzz/corpus/$name
  mkdir -p "$corpus"
  inputs=()
  for d in "fuzz/corpus/$short" "fuzz/regressions/$short" "fuzz/seeds/$short"; do
    [ -d "$d" ] && inputs+=("$d")
  done
  mapfile -t options < <(fuzz_options "$short")
  echo "-- $name for ${seconds}s"
  if ! "$t" -max_total_time="$seconds" -print_final_stats=1 \
       -artifact_prefix="build-fuzz/$name-" "${options[@]}" "$corpus" "${inputs[@]}" 2>build-fuzz/$name.log; then
    echo "FAILED: $name (see build-fuzz/$name.log)"
    tail -n 40 build-fuzz/$name.log
    failed=1
  else
    grep -E "stat::number_of_executed_units|Done [0-9]+ runs" build-fuzz/$name.log | tail -n 1 || true
  fi
done
exit $failed
