#!/usr/bin/env bash
# Prints the performance table: medians of CPU time on busy levels (tools/busy_level) of 20 x 20,
# 299 x 100 and 300 x 333 cells, measured on this machine.
#   bench/bench.sh [BUILD_DIR]      (default build/, configured and built as by ./test.sh)
# REPS=N sets the repetitions of each measurement (default 5). The interactive rows need Xvfb
# (Debian package xvfb), or BENCH_DISPLAY naming a running X server; without either they say so. The machine may be shared: the floor row (a bare
# toolkit window presenting an unchanged image) is measured in the same turns as the game, and
# tells how much the display costs at that moment.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
reps=${REPS:-5}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target busy_bench interactive_load tessaron tessaron_level_tool \
    tessaron_busy_level_tool >/dev/null
build=$(cd "$build" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

sizes=(20x20 299x100 300x333)
game="$work/game"
mkdir -p "$game/LEVEL"
ln -s "$build/game/BMP" "$game/BMP"
ln -s "$build/game/WAV" "$game/WAV"
for size in "${sizes[@]}"; do
  (cd "$game/LEVEL" && "$build/tools/tessaron-busy-level" "${size%x*}" "${size#*x}" 1 "Busy$size.TXT")
done

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# The benchmarks: the median CPU time of each, in its own unit.
"$build/bench/busy_bench" --benchmark_filter=-Search/ --benchmark_repetitions="$reps" \
    --benchmark_report_aggregates_only=true \
    --benchmark_format=csv 2>/dev/null >"$work/bench.csv"
bench() {  # NAME SIZE -> "value unit"
  awk -F, -v n="\"$1/$2_median\"" '$1 == n { printf "%.3g %s", $4, $5 }' "$work/bench.csv"
}

# A script of N passes on a level, keys as in busy_bench.
script() {  # SIZE PASSES
  echo "answer LEVEL/Busy$1.TXT"
  awk -v n="$2" 'BEGIN {
    for (p = 1; p <= n; p += 240) {
      printf "@%d down Right\n@%d up Right\n", p, p + 70
      printf "@%d down Left\n@%d down Up\n@%d up Up\n", p + 100, p + 120, p + 126
      printf "@%d down Up\n@%d up Up\n@%d up Left\n", p + 160, p + 166, p + 200
    } }'
}
cpu_of() {  # command... -> CPU seconds (user + system)
  /usr/bin/time -f "%U %S" -o "$work/time" "$@" >/dev/null 2>&1
  awk '{ print $1 + $2 }' "$work/time"
}
# Passes per CPU second of a headless run on the 299 x 100 level, start-up taken off.
passes_per_second() {  # PASSES extra-options...
  local n=$1
  shift
  script 299x100 "$n" >"$work/run.txt"
  script 299x100 0 >"$work/start.txt"
  for _ in $(seq "$reps"); do
    local start run
    start=$(cpu_of "$build/game/tessaron" --headless --script "$work/start.txt" --dir "$game" --passes 0 "$@")
    run=$(cpu_of "$build/game/tessaron" --headless --script "$work/run.txt" --dir "$game" --passes "$n" "$@")
    awk -v n="$n" -v a="$start" -v b="$run" 'BEGIN { printf "%.0f\n", n / (b - a) }'
  done | median
}
startup() {  # SIZE -> seconds from start to the first pass (a run of no passes), wall and CPU
  script "$1" 0 >"$work/start.txt"
  for _ in $(seq "$reps"); do
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$build/game/tessaron" --headless \
        --script "$work/start.txt" --dir "$game" --passes 0 >/dev/null 2>&1
    cat "$work/time"
  done >"$work/startup"
  printf '%s s wall, %s s CPU' "$(awk '{ print $1 }' "$work/startup" | median)" \
      "$(awk '{ print $2 + $3 }' "$work/startup" | median)"
}
interactive() {  # SIZE [MODE] -> per cent of a core at 60 passes a second
  # On BENCH_DISPLAY when given (an X server of 1920 x 1080 already running), else on an Xvfb
  # of that size started for each measurement.
  local run=(env -u QT_QPA_PLATFORM DISPLAY="${BENCH_DISPLAY:-}")
  if [ -z "${BENCH_DISPLAY:-}" ]; then
    if ! command -v xvfb-run >/dev/null; then echo "needs xvfb"; return; fi
    run=(env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1920x1080x24")
  fi
  for _ in $(seq "$reps"); do
    "${run[@]}" "$build/bench/interactive_load" "$game" "LEVEL/Busy$1.TXT" 600 "${2:-window}" \
        2>/dev/null
  done | median
}
interactive_fullscreen() { interactive "$1" fullscreen; }
interactive_floor() { interactive "$1" floor; }
pack_memory() {  # SIZE -> MB of peak memory of tessaron-level pack
  (cd "$game/LEVEL" && "$build/game/tessaron-level" dump "Busy$1.TXT" >"$work/level.json")
  /usr/bin/time -f "%M" -o "$work/time" "$build/game/tessaron-level" pack "$work/level.json" \
      "$work/packed.TXT" >/dev/null 2>&1
  awk '{ printf "%.0f MB", $1 / 1024 }' "$work/time"
}

row() {  # TEXT then one value per size
  local text=$1
  shift
  printf '| %s |' "$text"
  printf ' %s |' "$@"
  printf '\n'
}
each() {  # function-or-bench name -> one value per size
  for size in "${sizes[@]}"; do printf '%s\t' "$("$@" "$size")"; done
}
cells() { IFS=$'\t' read -r -a values <<<"$1"; printf '%s\n' "${values[@]}"; }
row_each() {  # TEXT then a function-or-bench name: one row of a value per size
  local text=$1 v
  shift
  mapfile -t v < <(cells "$(each "$@")")
  row "$text" "${v[@]}"
}

echo "Medians of $reps runs; $(nproc) cores of $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //')."
echo
echo "| what | ${sizes[0]} | ${sizes[1]} | ${sizes[2]} |"
echo "|---|---|---|---|"
row_each "simulation stages of one play pass (both stages, no drawing), CPU" bench SimulationStages
row_each "whole play pass including the 1024 × 768 frame, CPU" bench PlayPass
row_each "whole play pass without a frame, CPU" bench PlayPassNoFrame
row_each "editor pass, value display \"Verbindungsnummer\" and brush preview, CPU" bench EditorPass
row_each "reading the level file, CPU" bench ReadLevel
row_each "storing the save point, CPU" bench StoreSavePoint
row_each "restoring the save point, CPU" bench RestoreSavePoint
row "headless run, frames drawn (\`--screenshot\` given), passes per CPU second" "" \
    "$(passes_per_second 4000 --screenshot "$work/shot.png")" ""
row "headless run with no frame asked for, passes per CPU second" "" \
    "$(passes_per_second 4000)" ""
row_each "interactive play at 60 passes/s, window of 1024 × 768, % of a core" interactive
row "interactive play at 60 passes/s, fullscreen on 1920 × 1080, % of a core" "" \
    "$(interactive_fullscreen 299x100)" ""
row "a bare toolkit window presenting an unchanged 1024 × 768 image 60 times a second (the floor), % of a core" "" \
    "$(interactive_floor 299x100)" ""
row_each "start-up to the first pass (a headless run of no passes)" startup
row_each "\`tessaron-level pack\` peak memory" pack_memory
