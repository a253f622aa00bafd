#!/usr/bin/env bash
# Prints the automatic player's table: for every level in LEVEL/ the run found with the default
# seed (passes searched, seconds of the clock and of the processors until it is written, peak
# memory of the whole process), and the passes per processor second on a busy 300 x 100 level
# (tools/busy_level, seed 1) searched for 20 s.
#   bench/solve.sh [BUILD_DIR]      (default build/, configured and built as by ./test.sh)
# LEVELS="Anfang Turm" limits the levels. Processor time is what to compare on a shared machine:
# the clock's seconds grow with the load (given in the first line).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tessaron tessaron_busy_level_tool tessaron_levels >/dev/null
build=$(cd "$build" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen

game="$work/game"
mkdir -p "$game/LEVEL"
ln -s "$build/game/BMP" "$game/BMP"
ln -s "$build/game/WAV" "$game/WAV"
cp "$build"/game/LEVEL/*.TXT "$game/LEVEL/"
(cd "$game/LEVEL" && "$build/tools/tessaron-busy-level" 300 100 1 Busy.TXT)
levels=${LEVELS:-$(cd "$build/game/LEVEL" && ls *.TXT | sed 's/\.TXT$//')}

# Runs the search; prints "found|not found, passes, wall s, CPU s, peak MB, passes per CPU s".
solve() {  # LEVEL SECONDS
  /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$build/game/tessaron" --dir "$game" \
      --solve "LEVEL/$1.TXT" --replay "$work/$1.txt" --seconds "$2" 2>"$work/err" >/dev/null || true
  local result passes rate
  result=$(grep -q '^found' "$work/err" && echo found || echo "not found")
  passes=$(tr '\r' '\n' <"$work/err" | awk '/^searched/ { print $4 }')
  rate=$(tr '\r' '\n' <"$work/err" | sed -n 's/.* \([0-9]*\) a processor second.*/\1/p')
  awk -v r="$result" -v p="$passes" -v q="$rate" \
      '{ printf "%s | %s | %.1f s | %.1f s | %.0f MB | %s", r, p, $1, $2 + $3, $4 / 1024, q }' \
      "$work/time"
}

echo "$(nproc) cores of $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2 | sed 's/^ //'); load $(cut -d' ' -f1-3 /proc/loadavg)."
echo
echo "| level | result | passes searched | clock | processors | peak memory | passes per processor second |"
echo "|---|---|---|---|---|---|---|"
for level in $levels; do
  echo "| $level | $(solve "$level" 600) |"
done
echo "| Busy 300 × 100, 20 s | $(solve Busy 20) |"
