#!/usr/bin/env bash
# Installs what is missing, builds the game and starts it. Extra arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")"
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build
exec build/game/tessaron "$@"
