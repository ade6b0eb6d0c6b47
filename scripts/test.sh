#!/usr/bin/env bash
# Sets up, builds and runs every test: the normal build, the sanitizer build
# (AddressSanitizer + UndefinedBehaviorSanitizer) and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
export CTEST_OUTPUT_ON_FAILURE=1
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$PWD/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

echo "== Normal build"
scripts/build.sh build
scripts/with_display.sh ctest --test-dir build -j "$jobs" --timeout 600

echo "== Sanitizer build (ASan + UBSan)"
scripts/build.sh build-asan -DRAVELIN_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug \
  -DRAVELIN_GENERATED_DIR="$PWD/build/generated"
scripts/with_display.sh ctest --test-dir build-asan -j "$jobs" --timeout 900

echo "== Fuzz targets"
scripts/fuzz.sh "${FUZZ_SECONDS:-30}"
