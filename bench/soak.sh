#!/usr/bin/env bash
# The long soak (not run by CI): bench_soak draws the saver's own run in a 320×240 window under
# the virtual display for SECONDS (an hour unless told), niced, with the GL error check on, and
# writes one line every 10 s (resident memory, frame time, GL errors, heap in use) to
# OUT/soak.txt (everything it printed to OUT/soak.log). Then it plots resident memory and frame
# time over time to OUT/soak.png (gnuplot) and prints the figures the run is judged by: memory
# growth after the first minute, frame time of the first and last tenth (medians of the 10 s
# means), GL errors. With --plot it only does the second half, over an earlier run's OUT.
#   bench/soak.sh [SECONDS (3600)] [OUT (build/soak)]
#   bench/soak.sh --plot OUT
set -euo pipefail
cd "$(dirname "$0")/.."
plot_only=0
if [ "${1:-}" = --plot ]; then
  plot_only=1
  shift
  set -- 0 "$@"
fi
seconds=${1:-3600}
out=${2:-build/soak}
if ! command -v gnuplot >/dev/null; then
  SUDO=""
  if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y gnuplot-nox
fi
status=0
if ((plot_only)); then
  grep -q "^gl_errors" "$out/soak.log" || status=1
else
  scripts/build.sh build >/dev/null
  mkdir -p "$out"
  nice -n 19 scripts/with_display.sh build/bench/bench_soak --seconds "$seconds" --period 10 \
    >"$out/soak.log" 2>&1 || status=$?
fi
# The samples (seven or eight numbers a line) apart from the benchmark's closing figures.
awk '(NF == 7 || NF == 8) && $1 ~ /^[0-9]/' "$out/soak.log" >"$out/soak.txt"

# Medians of the frame-time means (wall clock, and this thread's CPU time, which a busy machine
# disturbs less) over the first and the last tenth of the samples after the
# first minute, and resident memory at one minute, at its highest and at the end. The saver hands
# freed heap pages back once a minute and the driver soon touches many of them again, so single
# samples of resident memory swing by several MiB within a minute; the growth is also given as
# the median of the second minute's samples against the median of the last minute's.
awk -v status="$status" '
  { t[n] = $1; rss[n] = $2; ms[n] = $4; cpu[n] = $6; gl = $7; n++ }
  function median(from, to, column,   k, i, j, v, tmp) {
    k = 0
    for (i = from; i < to; i++) v[k++] = column == 2 ? rss[i] : (column == 1 ? cpu[i] : ms[i])
    for (i = 1; i < k; i++) for (j = i; j > 0 && v[j - 1] > v[j]; j--) { tmp = v[j]; v[j] = v[j - 1]; v[j - 1] = tmp }
    return k ? (k % 2 ? v[int(k / 2)] : (v[k / 2 - 1] + v[k / 2]) / 2) : 0
  }
  END {
    if (n < 2) { print "soak: no samples (exit " status ")"; exit 1 }
    first = 0
    while (first < n - 1 && t[first] < 60) first++
    peak = rss[first]
    for (i = first; i < n; i++) if (rss[i] > peak) peak = rss[i]
    tenth = int((n - first) / 10); if (tenth < 1) tenth = 1
    printf "soak: %d s, exit %d, gl_errors %d\n", t[n - 1], status, gl
    printf "rss_mib at %d s %.1f, peak %.1f, at end %.1f, growth after the first minute %.1f\n",
           t[first], rss[first], peak, rss[n - 1], rss[n - 1] - rss[first]
    second = first
    while (second < n - 1 && t[second] < 120) second++
    last = n - 1
    while (last > first && t[last - 1] > t[n - 1] - 60) last--
    early = median(first, second, 2); late = median(last, n, 2)
    printf "rss_mib median of the second minute %.1f, of the last minute %.1f, growth %.1f\n", early, late, late - early
    printf "frame_ms median of the first tenth %.3f, of the last tenth %.3f\n",
           median(first, first + tenth, 0), median(n - tenth, n, 0)
    printf "cpu_ms_per_frame median of the first tenth %.3f, of the last tenth %.3f\n",
           median(first, first + tenth, 1), median(n - tenth, n, 1)
  }' "$out/soak.txt" | tee "$out/summary.txt"

gnuplot <<PLOT
set terminal png size 1000,600
set output "$out/soak.png"
set multiplot layout 2,1 title "Soak: 320x240, GL check on"
set xlabel "seconds"
set ylabel "resident MiB"
set grid
plot "$out/soak.txt" using 1:2 with lines title "resident memory", \
     "$out/soak.txt" using 1:8 with lines title "malloc heap in use"
set ylabel "wall ms per frame"
set y2label "CPU ms per frame"
set y2tics
set ytics nomirror
plot "$out/soak.txt" using 1:4 with lines title "mean frame time (10 s)", \
     "$out/soak.txt" using 1:6 axes x1y2 with lines title "main thread CPU time per frame (10 s mean)"
unset multiplot
PLOT
echo "plot: $out/soak.png"
exit "$status"
