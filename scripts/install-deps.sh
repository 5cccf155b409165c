#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build and the tests need. Idempotent:
# does nothing when every package is already there. With --bench, also the
# anchor of the conversion benchmark (the ffmpeg program).
set -euo pipefail

packages=(
  g++ cmake ninja-build make pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev
  libgtest-dev
  clang libclang-rt-14-dev
  # make format-check
  clang-format
  xvfb xauth
  # end-to-end tests: accessibility tree, real X input, screenshots
  dbus at-spi2-core python3 python3-pyatspi python3-xlib xdotool imagemagick
  # a stand-in udisks2 for the eject tests
  python3-dbusmock
  # Qt's own texts in French
  qt6-translations-l10n
  # a FAT32 player through FUSE, for the tests and the benchmark's FAT device
  fusefat dosfstools fatsort
  # conversion on copy: FFmpeg's libraries (the MP3 encoder comes with libavcodec)
  libavformat-dev libavcodec-dev libswresample-dev libavutil-dev
  # make package (dpkg-shlibdeps, file), its lintian check and the checks of the installed tree
  dpkg-dev file gzip groff-base appstream desktop-file-utils lintian
)
[ "${1:-}" = --bench ] && packages+=(ffmpeg)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installation des paquets : ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then sudo_cmd=(); else sudo_cmd=(sudo); fi
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
