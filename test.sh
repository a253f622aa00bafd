#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
# TESSARON_SANITIZE=1 ./test.sh builds with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
dir=build
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${TESSARON_SANITIZE:-0}" = 1 ]; then
  dir=build-sanitize
  args=(-DCMAKE_BUILD_TYPE=Debug -DTESSARON_SANITIZE=ON)
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
  export UBSAN_OPTIONS="print_stacktrace=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
fi
cmake -S . -B "$dir" -G Ninja "${args[@]}" >/dev/null
cmake --build "$dir"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$dir" --output-on-failure -j2
