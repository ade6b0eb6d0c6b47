#!/usr/bin/env bash
# Runs ravelin-archive on the reference archive and on a copy with one flipped data byte.
# Usage: archive_tool_test.sh TOOL SHARED_DIR WORK_DIR   (exit 77: shared data absent)
set -u
tool=$1
archive=$2/testdata/rar/test_v2.rar
work=$3
if [ ! -f "$archive" ]; then
  echo "test_v2.rar not found under $2 (shared test data absent)"
  exit 77
fi
fail() { echo "FAIL: $*"; exit 1; }

"$tool" --help | grep -q "usage:" || fail "--help prints no usage"
"$tool" bogus 2>/dev/null && fail "wrong arguments accepted"
"$tool" test "$archive" || fail "test on the reference archive"
"$tool" list "$archive" | grep -q "pMM.bin" || fail "list misses pMM.bin"
"$tool" extract "$archive" p3.bin "$work/p3.out" || fail "extract to a file"
cmp -s "$work/p3.out" "$2/testdata/rar/etalon.bin" || fail "extracted p3.bin differs from the etalon"
"$tool" extract "$archive" pmm.BIN | cmp -s - "$2/testdata/rar/etalon.bin" || fail "extract to standard output"
"$tool" extract "$archive" nothere.bin >/dev/null 2>&1 && fail "missing entry extracted"

# p2.bin's data area starts at 24725 + 38: flip a byte in its middle.
cp "$archive" "$work/corrupt.rar"
chmod u+w "$work/corrupt.rar"
printf '\x5a' | dd of="$work/corrupt.rar" bs=1 seek=29000 conv=notrunc status=none
out=$("$tool" test "$work/corrupt.rar" 2>&1) && fail "test passed on a corrupted copy"
echo "$out" | grep -q "p2.bin: FAILED" || fail "the message does not name p2.bin: $out"
echo "$out"

head -c 30000 "$archive" >"$work/cut.rar"
"$tool" test "$work/cut.rar" >/dev/null 2>&1 && fail "test passed on a truncated copy"
echo "OK"
