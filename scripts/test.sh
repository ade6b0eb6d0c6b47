#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build, the Windows builds (checked, and their
# tests run under wine64), the sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer)
# and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
export CTEST_OUTPUT_ON_FAILURE=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
# use_tls=0: the leak checker does not take thread-local storage as roots. Its walk of the
# dynamically loaded libraries' thread-local blocks guesses a block's bounds from a header it
# expects in front of it; after Mesa and LLVM have allocated for a while the guess can be garbage
# (a block "at 0xb05-0x1800001c07" was seen) and the checker crashes at exit with "Tracer caught
# signal 11". Without those roots it can only report more, never less.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0:use_tls=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# Runs one build folder's tests and keeps the output for the closing count.
run_tests() {
  local dir=$1
  shift
  if scripts/with_display.sh ctest --test-dir "$dir" -j "$jobs" "$@" 2>&1 | tee "$dir/ctest.log"; then
    return 0
  fi
  # Should LeakSanitizer's own tracer still crash at the exit of a test that has passed (a fault
  # of the sanitizer runtime, see use_tls above), the tests that ended that way run once more,
  # logging the ranges it walks; any other failure, or a second crash, fails the run.
  local failed crashed
  failed=$(sed -n '/The following tests FAILED:/,$p' "$dir/ctest.log" | grep -cE '^[[:space:]]+[0-9]+ - ' || true)
  crashed=$(grep -c 'LeakSanitizer has encountered a fatal error' "$dir/ctest.log" || true)
  if [ "${failed:-0}" -eq 0 ] || [ "${crashed:-0}" -lt "$failed" ]; then
    return 1
  fi
  echo "== $failed test(s) ended in a LeakSanitizer tracer crash; running them once more"
  LSAN_OPTIONS="$LSAN_OPTIONS:verbosity=1:log_threads=1" \
    scripts/with_display.sh ctest --test-dir "$dir" --rerun-failed "$@" 2>&1 | tee "$dir/ctest-rerun.log"
}

echo "== Normal build"
scripts/build.sh build
run_tests build --timeout 600

echo "== Windows builds (mingw-w64), tests under wine64"
scripts/test-windows.sh

echo "== Sanitizer build (ASan + UBSan)"
scripts/build.sh build-asan -DRAVELIN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  -DRAVELIN_GENERATED_DIR="$PWD/build/generated"
run_tests build-asan --timeout 900

echo "== Fuzz targets"
scripts/fuzz.sh "${FUZZ_SECONDS:-30}"

# Every ctest run passed (set -e stops at the first failure): one closing count for all.
total=0
skipped=0
for log in build/ctest.log build-win-x86_64/ctest.log build-asan/ctest.log; do
  n=$(sed -n 's/.*tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  k=$(grep -cE '^[[:space:]]+[0-9]+ - .* \(Skipped\)$' "$log" || true)
  total=$((total + ${n:-0}))
  skipped=$((skipped + ${k:-0}))
done
echo "tests: $((total - skipped)) passed, 0 failed, $skipped skipped"
