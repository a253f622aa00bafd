#!/bin/sh
# Builds one fuzz target with clang and runs it for a while on one core.
#   fuzz/run.sh TARGET [SECONDS] [BUILD_DIR]
# TARGET: level_file_fuzz, save_point_fuzz, script_fuzz, command_line_fuzz or level_json_fuzz.
# The corpus grows in BUILD_DIR/fuzz/corpus/TARGET, starting from fuzz/seeds/TARGET; inputs that
# fail are written to BUILD_DIR/fuzz/findings/TARGET/.
set -eu
target=${1:?"usage: fuzz/run.sh TARGET [SECONDS] [BUILD_DIR]"}
seconds=${2:-300}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
build=${3:-"$source_dir/build-fuzz"}

if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S "$source_dir" -B "$build" -G Ninja -DTESSARON_FUZZ=ON \
        -DTESSARON_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target "$target" -j 2

corpus="$build/fuzz/corpus/$target"
findings="$build/fuzz/findings/$target"
mkdir -p "$corpus" "$findings"
# Level files of a few cells are 12 to 40 kB; the other inputs are small texts.
case "$target" in
    level_file_fuzz) max_len=40000 ;;
    *) max_len=4096 ;;
esac
# The allocation limit turns an unbounded allocation into a finding. With -jobs the run's log
# goes to fuzz-0.log in the current folder: the findings folder.
cd "$findings"
"$build/fuzz/$target" "$corpus" "$source_dir/fuzz/seeds/$target" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
    -malloc_limit_mb=512 -jobs=1 -workers=1 -print_final_stats=1 \
    -artifact_prefix="$findings/" || status=$?
cat fuzz-0.log
exit "${status:-0}"
