#!/usr/bin/env bash
# The screensaver's frame rate against the rasteriser's one-layer limit: for each size, three
# rounds of the calibration layer and `ravelin --benchmark` back to back (so both see the same
# machine load), then the medians and their ratio. Prints the load average beside each round.
#   bench/frame_ratio.sh [BUILD_FOLDER] [SECONDS] [SIZE ...]   (defaults: build 20 1920x1080 800x600)
# Needs a display: run it under scripts/with_display.sh (its Xvfb screen is 1920x1200).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
seconds=${2:-20}
shift $(( $# > 2 ? 2 : $# )) || true
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(1920x1080 800x600)
calibration=$build/bench/calibration_layer
ravelin=$build/src/platform/sdl/ravelin
for program in "$calibration" "$ravelin"; do
  [ -x "$program" ] || { echo "frame_ratio: $program is not built" >&2; exit 2; }
done

fps() { awk '/^fps_median/ {print $2}'; }
median3() { printf '%s\n' "$@" | sort -g | sed -n 2p; }
load() { uptime | sed 's/.*load average: //'; }

summary=()
for size in "${sizes[@]}"; do
  layers=() frames=()
  for round in 1 2 3; do
    before=$(load)
    layer=$("$calibration" --seconds "$seconds" "$size" | fps)
    out=$("$ravelin" --benchmark --size "$size" --seconds "$seconds")
    frame=$(printf '%s\n' "$out" | fps)
    echo "$size round $round: one layer $layer fps, ravelin $frame fps (load $before)"
    printf '%s\n' "$out" | grep -E '^(startup_to_first_frame_ms|cpu_ms_per_frame|phase_ms)' | sed 's/^/    /'
    layers+=("$layer")
    frames+=("$frame")
  done
  l=$(median3 "${layers[@]}")
  f=$(median3 "${frames[@]}")
  summary+=("$(awk -v s="$size" -v l="$l" -v f="$f" 'BEGIN { printf "%-10s one layer %7.1f fps  ravelin %6.1f fps  ratio %.3f", s, l, f, (l > 0 ? f / l : 0) }')")
done
echo "== medians of three (load now $(load))"
printf '%s\n' "${summary[@]}"
