#!/usr/bin/env bash
# Line coverage of every parser and decoder under the kept fuzz inputs (fuzz/corpus, regressions
# and seeds), measured with clang's source-based coverage: builds the fuzz targets with
# -fprofile-instr-generate -fcoverage-mapping in build-coverage, runs each once over its inputs
# (libFuzzer -runs=0), merges the profiles and prints, per source file, the lines reached; for
# files that also hold drawing or loading code, the parser functions' lines on their own too.
# Uncovered lines are listed in build-coverage/uncovered.txt.
#   fuzz/coverage.sh [target...]     (all targets by default)
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
[ -d build/generated ] || scripts/build.sh build

flags="-fprofile-instr-generate -fcoverage-mapping"
if [ ! -f build-coverage/build.ninja ]; then
  CC=clang CXX=clang++ cmake -S . -B build-coverage -G Ninja -DRAVELIN_FUZZ=ON -DRAVELIN_TESTS=OFF \
    -DRAVELIN_SHELL=OFF -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_FLAGS="$flags" -DCMAKE_CXX_FLAGS="$flags" \
    -DCMAKE_EXE_LINKER_FLAGS="-fprofile-instr-generate" -DRAVELIN_GENERATED_DIR="$PWD/build/generated"
fi
# The fuzz targets only: without the sanitizers' run time the other programs lack the
# fuzzer's coverage callbacks that the core is compiled with.
fuzzers=$(sed -n 's/^ *ravelin_add_fuzzer(\([a-z_]*\) .*/fuzz_\1/p' fuzz/CMakeLists.txt)
# shellcheck disable=SC2086
cmake --build build-coverage -j "$(nproc)" --target $fuzzers

out=build-coverage/profiles
rm -rf "$out"
mkdir -p "$out"
targets=("$@")
if ((${#targets[@]} == 0)); then
  for t in build-coverage/fuzz/fuzz_*; do targets+=("${t##*/fuzz_}"); done
fi
objects=()
for name in "${targets[@]}"; do
  inputs=()
  for d in fuzz/corpus/$name fuzz/regressions/$name fuzz/seeds/$name; do
    [ -d "$d" ] && inputs+=("$d")
  done
  LLVM_PROFILE_FILE="$out/$name.profraw" build-coverage/fuzz/fuzz_$name -runs=0 "${inputs[@]}" \
    >"$out/$name.log" 2>&1
  objects+=(-object "build-coverage/fuzz/fuzz_$name")
done
llvm-profdata-14 merge -sparse "$out"/*.profraw -o "$out/all.profdata"

python3 - "$out/all.profdata" "${objects[@]}" <<'EOF'
import re, subprocess, sys

profile, objects = sys.argv[1], sys.argv[3:]  # the first binary goes without -object
files = [
    "src/assets/archive_listing.cpp", "src/assets/asset_archive.cpp", "src/assets/rar20_decoder.cpp",
    "src/assets/crc32.cpp", "src/assets/asset_file.cpp", "src/assets/image_tga.cpp",
    "src/assets/image_jpeg.cpp", "src/settings/default_settings_file.cpp", "src/settings/ui_text.cpp",
    "src/render/mesh_format.cpp", "src/render/scene.cpp", "src/render/technique.cpp",
    "src/race/line_source.cpp", "src/race/keyframe_track.cpp", "src/race/race_line.cpp",
    "src/race/car.cpp", "src/sound/audio/audio.cpp", "src/platform/linux/file_settings_store.cpp",
]
# Files that also hold code other than their parser (GL state, the loaders' look-ups in the
# embedded archive, the race's placement, the rest of the audio library, the settings file's
# atomic save): the functions that make the parser, by name.
parser_functions = {
    "src/render/scene.cpp": r"parseScene|startsWith|atEnd",
    "src/render/technique.cpp": r"parseTechnique|startsWith",
    "src/race/car.cpp": r"parseCarLook|applyCarLook|Lightmap::brightness|listenerSpace|lightmapCoordinates"
                        r"|lightmapIndex|prepareCarForDrawing",
    "src/sound/audio/audio.cpp": r"memoryRead|memorySeek|memoryTell|decodeVorbis|Audio_SampleLoad",
    "src/platform/linux/file_settings_store.cpp": r"FileSettingsStore::parseLine|FileSettingsStore::readFile"
                                                  r"|FileSettingsStore::query",
}

def show(path):
    """Line number -> reached, for every line that holds code."""
    text = subprocess.run(["llvm-cov-14", "show", "-instr-profile", profile, *objects, path],
                          capture_output=True, text=True, check=True).stdout
    lines = {}
    for row in text.splitlines():
        m = re.match(r"\s*(\d+)\|\s*([0-9.]+[kMGTE]?)\|", row)
        if m:
            lines[int(m.group(1))] = m.group(2) != "0"
    return lines

uncovered = open("build-coverage/uncovered.txt", "w")
print(f"{'file':45} {'lines':>6} {'reached':>8} {'cover':>7}   parser functions only")
for path in files:
    lines = show(path)
    total = len(lines)
    hit = sum(1 for v in lines.values() if v)
    missed = sorted(n for n, v in lines.items() if not v)
    extra = ""
    if path in parser_functions:
        # Line ranges of the matching functions, from the source: a definition whose name
        # matches runs until its braces balance.
        source = open(path).read().splitlines()
        wanted = set()
        start, depth = None, 0
        for i, row in enumerate(source, 1):
            if start is None and re.match(r"^[A-Za-z].*\b(" + parser_functions[path] + r")\(", row) \
                    and not row.rstrip().endswith(";"):
                start, depth = i, 0
            if start is not None:
                depth += row.count("{") - row.count("}")
                if depth == 0 and "}" in row:
                    wanted.update(range(start, i + 1))
                    start = None
        plines = {n: v for n, v in lines.items() if n in wanted}
        phit = sum(1 for v in plines.values() if v)
        extra = f"   {phit}/{len(plines)} = {100.0 * phit / max(len(plines), 1):.1f} %"
        missed_parser = [n for n in missed if n in wanted]
        print(f"{path}: parser lines not reached: {missed_parser}", file=uncovered)
    print(f"{path:45} {total:6} {hit:8} {100.0 * hit / max(total, 1):6.1f}%{extra}")
    print(f"{path}: lines not reached: {missed}", file=uncovered)
EOF
echo "uncovered lines: build-coverage/uncovered.txt"
