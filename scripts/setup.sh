#!/usr/bin/env bash
# Installs the Debian packages the project builds and runs with, where any is missing.
# Run as root it installs them; otherwise it prints the one command to run.
set -euo pipefail
# adwaita-icon-theme: the undo and redo pictures of the editor's toolbar where the desktop's own
# icon theme has none (and in headless runs, which have no desktop). desktop-file-utils,
# appstream: the install test's validators. dpkg-dev: the Debian package's library dependencies
# (cpack). clang-format: the committed format, which CI checks. qt6-translations-l10n: the
# toolkit's German texts in the file requesters and message boxes. libxcb-shm0-dev,
# libxcb-render0-dev: frames handed to the X server from shared memory and scaled there.
packages=(cmake g++ ninja-build qt6-base-dev libsdl2-dev libsdl2-mixer-dev nlohmann-json3-dev libgtest-dev
          libgmock-dev libbenchmark-dev libpng-dev fonts-liberation fonts-dejavu-core ccache
          adwaita-icon-theme desktop-file-utils appstream dpkg-dev clang-format
          qt6-translations-l10n libxcb-shm0-dev libxcb-render0-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
if [ "$(id -u)" -ne 0 ]; then
  echo "Missing packages. Run as root:" >&2
  echo "  apt-get update && apt-get install -y ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq "${missing[@]}"
