#!/usr/bin/env bash
# Runs the benchmarks and prints a short table against the goals. The frame-rate figures want a real X display:
# without one, everything runs under its own Xvfb (make bench works on a machine without a display).
#
#   bench/run.sh [BUILD]            everything
#   BENCH_QUICK=1 bench/run.sh      the scene figures only (no Google Benchmark micro benches)
#
# CPU figures count the whole process (every thread: the rasteriser's and the audio callback's included).
# The machine may be shared: the scene figures are medians of several runs, and the load average is printed
# with them (on a loaded machine trust the CPU figures, not the wall-clock ones).
# OMBRIVALE_TIMES=1 build/bench/bench_scenes build session prints where the CPU of start-up and of the ten
# dearest frames of the session goes (on standard error).
set -euo pipefail
build="$(cd "${1:-build}" && pwd)"
here="$(cd "$(dirname "$0")" && pwd)"

if [ -z "${DISPLAY:-}" ] && [ -z "${BENCH_INNER:-}" ]; then
  if ! command -v Xvfb >/dev/null; then
    echo "bench: no display and no Xvfb (install xvfb)" >&2
    exit 1
  fi
  # A display number nobody uses, our own server, gone when we are.
  for n in $(seq 90 140); do [ -e "/tmp/.X$n-lock" ] || break; done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  xpid=$!
  trap 'kill $xpid 2>/dev/null || true' EXIT
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  DISPLAY=":$n" BENCH_INNER=1 bash "$0" "$build"
  exit $?
fi

cd "$build"
scenes=bench/bench_scenes
runs="${BENCH_RUNS:-3}"

if [ -z "${BENCH_QUICK:-}" ]; then
  for b in bench/bench_board bench/bench_effects bench/bench_render bench/bench_loop; do
    [ -x "$b" ] || continue
    echo "== $b"
    "$b" --benchmark_counters_tabular=true 2>&1 | grep -v '^load\|^error\|^prepare\|^over jump\|^Desktop\|^Window\|^/tmp'
  done
fi

# key=value from the last line of a scene run that has the key.
val() { grep -o "$1=[^ ]*" | tail -1 | cut -d= -f2; }
median() { sort -g | awk '{a[NR]=$1} END {if (NR) print a[int((NR+1)/2)]; else print "n/a"}'; }
scene() {  # scene ENV... -- ARGS...: one run, its result line
  local envs=()
  while [ "$1" != "--" ]; do envs+=("$1"); shift; done
  shift
  env "${envs[@]}" "$scenes" "$build" "$@" 2>/dev/null | grep -E '^(startup_cpu_s|fps|frames)=' | tail -1
}
repeat() {  # repeat KEY ENV... -- ARGS...: median of KEY over the runs
  local key=$1
  shift
  for _ in $(seq "$runs"); do scene "$@" | val "$key"; done | median
}

echo
echo "== scenes ($runs runs each, medians)"
startup=$(repeat startup_cpu_s X=1 -- startup)
declare -A fps cpu
for r in auto software accelerated; do
  out=$(for _ in $(seq "$runs"); do scene OMBRIVALE_RENDERER=$r -- heavy 5; done)
  fps[$r]=$(echo "$out" | val fps | median)
  cpu[$r]=$(echo "$out" | val cpu_ms_per_frame | median)
  [ -n "${fps[$r]}" ] || fps[$r]=n/a
done
out=$(for _ in $(seq "$runs"); do scene X=1 -- level 4 5; done)
storm=$(echo "$out" | val cpu_ms_per_frame | median)
out=$(for _ in $(seq "$runs"); do scene X=1 -- session; done)
longest=$(echo "$out" | grep -o 'longest_ms=[^ ]*' | grep -v steady | cut -d= -f2 | median)
steady=$(echo "$out" | val steady_longest_ms | median)
expl=$(echo "$out" | val explosions_cpu_max_ms | median)
rss=$(echo "$out" | val rss_mb | sort -g | tail -1)
renderer=$(echo "$out" | val renderer | tail -1)
steady_cpu=$(echo "$out" | val steady_cpu_max_ms | median)
# The same session once with every scaled draw stretched afresh (the software renderer's own way).
plain=$(scene X=1 OMBRIVALE_SCALED_COPIES=0 -- session)
plain_cpu=$(echo "$plain" | val steady_cpu_max_ms)
plain_expl=$(echo "$plain" | val explosions_cpu_max_ms)

row() { printf '%-52s %12s   %s\n' "$1" "$2" "$3"; }
echo
row "figure (renderer chosen: $renderer)" "measured" "goal"
row "heaviest scene, game's choice: fps" "${fps[auto]}" ">= 50 (paced)"
row "heaviest scene, game's choice: CPU ms per frame" "${cpu[auto]}" "< 20"
row "heaviest scene, software renderer: fps / CPU ms" "${fps[software]} / ${cpu[software]}" ""
row "heaviest scene, OpenGL renderer: fps / CPU ms" "${fps[accelerated]} / ${cpu[accelerated]}" ""
row "level 4 (rain and storm theme): CPU ms per frame" "$storm" "< 20"
row "scripted session: longest frame, ms" "$longest" "<= 100"
row "scripted session: longest steady frame, ms" "$steady" "<= 20"
row "level with explosions: slowest frame, CPU ms" "$expl" "<= 20"
row "steady play: dearest frame, CPU ms" "$steady_cpu" "<= 20"
row "  the same, scaled draws stretched afresh (one run)" "$plain_cpu" ""
row "  exploding level, stretched afresh (one run)" "$plain_expl" ""
row "start to first frame: CPU s" "$startup" "<= 0.4"
row "scripted session: peak RSS, MB" "$rss" "<= 270"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"

# Full screen at each size on the software renderer, one run each: the game as it draws (a picture shown larger
# than its logical size is drawn at that size and stretched once), and SDL drawing the game's quads itself
# (every draw stretched to the screen's size, no copies kept).
echo
echo "== full screen, software renderer (one run each): fps / CPU ms per frame"
printf '%-10s %18s %18s %7s %18s %18s\n' output "heavy: game" "heavy: SDL" ratio "level 4: game" "level 4: SDL"
sw=(OMBRIVALE_RENDERER=software)
sdl=(OMBRIVALE_STRETCH=0 OMBRIVALE_SCALED_COPIES=0)
for o in ${BENCH_OUTPUTS:-800x600 1024x768 1366x768 1920x1080 2560x1440}; do
  g=$(scene "${sw[@]}" OMBRIVALE_BENCH_OUTPUT=$o -- heavy 3)
  r=$(scene "${sw[@]}" "${sdl[@]}" OMBRIVALE_BENCH_OUTPUT=$o -- heavy 3)
  lg=$(scene "${sw[@]}" OMBRIVALE_BENCH_OUTPUT=$o -- level 4 3)
  lr=$(scene "${sw[@]}" "${sdl[@]}" OMBRIVALE_BENCH_OUTPUT=$o -- level 4 3)
  gc=$(echo "$g" | val cpu_ms_per_frame) rc=$(echo "$r" | val cpu_ms_per_frame)
  printf '%-10s %18s %18s %7s %18s %18s\n' "$o" "$(echo "$g" | val fps) / $gc" "$(echo "$r" | val fps) / $rc" \
    "$(awk -v a="$gc" -v b="$rc" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "n/a" }')" \
    "$(echo "$lg" | val fps) / $(echo "$lg" | val cpu_ms_per_frame)" "$(echo "$lr" | val fps) / $(echo "$lr" | val cpu_ms_per_frame)"
done
echo "goals: 50 fps paced and under 20 ms at every size up to 2560x1440; 1920x1080 at most 1.3 x 1024x768;"
echo "       the game at most 1.2 x SDL at 800x600 and 1024x768"
echo "load average: $(cut -d' ' -f1-3 /proc/loadavg)"
