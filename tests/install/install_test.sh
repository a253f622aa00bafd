#!/usr/bin/env bash
# The installed game: `cmake --install` into a temporary prefix gives the program, its shared
# pictures, sound and levels, a desktop entry and an AppStream file that the validators accept,
# and icons of the right sizes; the installed program starts headless with a fresh user data
# folder, copies the shipped levels there, keeps its save point there and writes nothing into
# the shared folder; a data folder that cannot be made is named in the "Error" text; and cpack
# builds a Debian package of the same tree.
#   install_test.sh BUILD_DIR APP_ID REPLAY_SCRIPT
set -euo pipefail
build=$1
id=$2
replay=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/tessaron-install-XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
failures=0
fail() {
  echo "FAILED: $*" >&2
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

for file in bin/tessaron bin/tessaron-level \
    share/tessaron/BMP/Farben.bmp share/tessaron/BMP/Gestrüp100.bmp share/tessaron/WAV/Punkte.wav \
    share/tessaron/LEVEL/Anfang.TXT share/tessaron/LEVEL/Kerker.TXT \
    share/tessaron/LEVEL/Wanderung.TXT share/tessaron/LEVEL/Werte/Aufzug_hoch.TXT \
    "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    "share/icons/hicolor/scalable/apps/$id.svg"; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
[ "$(find "$prefix/share/tessaron/BMP" -type f | wc -l)" -eq 31 ] || fail "not 31 pictures"

# Each icon is a PNG as wide and high as its folder says (the IHDR chunk's first eight bytes).
for size in 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  expected=$(printf '%08x%08x' "$size" "$size")
  actual=$(od -An -tx1 -j16 -N8 "$icon" 2>/dev/null | tr -d ' \n')
  [ "$actual" = "$expected" ] || fail "$icon is not ${size}x${size}"
done

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$work/appstream.txt" 2>&1 ||
  { cat "$work/appstream.txt" >&2; fail "appstreamcli validate"; }

# The installed program, as a player with a new home would start it.
export HOME=$work/home XDG_DATA_HOME=$work/data QT_QPA_PLATFORM=offscreen
shared_before=$(cd "$prefix/share/tessaron" && find . | sort)
"$prefix/bin/tessaron" --headless --script "$replay" --passes 360 --state "$work/state.json" \
  >"$work/out.txt" 2>&1 || { cat "$work/out.txt" >&2; fail "the installed game did not run"; }
data=$XDG_DATA_HOME/tessaron
for file in $(cd "$prefix/share/tessaron" && find LEVEL -type f); do
  cmp -s "$data/$file" "$prefix/share/tessaron/$file" || fail "$file was not copied to $data"
done
grep -q '"levelFileName": *"LEVEL/Kerker.TXT"' "$work/state.json" || fail "the level was not read"
[ -f "$data/Diskette.txt" ] || fail "the save point is not in $data"
[ "$(cd "$prefix/share/tessaron" && find . | sort)" = "$shared_before" ] ||
  fail "the game wrote into its shared folder"

# A data folder that cannot be made: the start-up fails and says which folder.
touch "$work/not-a-folder"
if XDG_DATA_HOME=$work/not-a-folder "$prefix/bin/tessaron" --headless --script "$replay" \
    --passes 1 >"$work/error.txt" 2>&1; then
  fail "a data folder that cannot be made was accepted"
fi
grep -q "^Error: " "$work/error.txt" && grep -q "$work/not-a-folder/tessaron" "$work/error.txt" || {
  cat "$work/error.txt" >&2
  fail "the error does not name the folder"
}

# The Debian package holds the same tree under /usr and names its libraries.
(cd "$build" && cpack -G DEB -B "$work/package" >"$work/cpack.txt" 2>&1) ||
  { cat "$work/cpack.txt" >&2; fail "cpack -G DEB"; }
deb=$(find "$work/package" -maxdepth 1 -name 'tessaron_*.deb' | head -n 1)
if [ -n "$deb" ]; then
  dpkg-deb -c "$deb" >"$work/contents.txt"
  for file in ./usr/bin/tessaron ./usr/share/tessaron/LEVEL/Anfang.TXT \
      ./usr/share/tessaron/WAV/Musik.wav \
      "./usr/share/applications/$id.desktop" "./usr/share/metainfo/$id.metainfo.xml"; do
    grep -q " $file\$" "$work/contents.txt" || fail "the package lacks $file"
  done
  dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6.*libsdl2' || fail "the package's Depends"
  dpkg-deb -f "$deb" Depends | grep -q 'libsdl2-mixer' || fail "the package's sound mixer"
else
  fail "no package was made"
fi

[ "$failures" -eq 0 ]
