#!/usr/bin/env bash
# Builds the game and makes the README's pictures with it:
#   docs/levels/NAME.png  every level of data/levels/, whole, by `tessaron-level render --scale 4`
#   docs/play.png         the first level in play: pass 140 of its replay, tests/e2e/data/Anfang.txt
#   docs/editor.png       the whole window in the editor: scripts/pictures/editor.txt
#   docs/overview.png     the editor's overview of the long walk: scripts/pictures/overview.txt
#   docs/reach.png        where the automatic player got to in the cave (seed 1)
# Usage: scripts/make_pictures.sh [BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
scripts/setup.sh
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target tessaron tessaron_level_tool tessaron_assets
game="$build/game"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each level packed from its source, as the build packs the sample levels, then drawn whole.
mkdir -p docs/levels
rm -f docs/levels/*.png
for json in data/levels/*.json; do
  name=$(basename "$json" .json)
  "$game/tessaron-level" pack "$json" "$work/$name.TXT"
  "$game/tessaron-level" render "$work/$name.TXT" "docs/levels/$name.png" --scale 4
  echo "docs/levels/$name.png"
done

# Scripted runs on a copy of the game folder, so that no save point is found or left behind.
mkdir "$work/game"
cp -r "$game/BMP" "$game/WAV" "$game/LEVEL" "$work/game/"
export QT_QPA_PLATFORM=offscreen
"$game/tessaron" --headless --dir "$work/game" --script tests/e2e/data/Anfang.txt --passes 140 \
  --screenshot docs/play.png
rm -f "$work/game/Diskette.txt"
"$game/tessaron" --headless --dir "$work/game" --script scripts/pictures/editor.txt --passes 45 \
  --window-shot docs/editor.png
rm -f "$work/game/Diskette.txt"
"$game/tessaron" --headless --dir "$work/game" --script scripts/pictures/overview.txt --passes 40 \
  --window-shot docs/overview.png
rm -f "$work/game/Diskette.txt"
"$game/tessaron" --solve LEVEL/Hoehle.TXT --dir "$work/game" --replay "$work/hoehle.txt" \
  --reach docs/reach.png
echo "docs/play.png"
echo "docs/editor.png"
echo "docs/overview.png"
echo "docs/reach.png"
