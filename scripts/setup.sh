#!/usr/bin/env bash
# Installs what the build, the tests and the player need, as root, on Debian 12.
# Skips every step whose result is already there, so a second run costs seconds.
set -euo pipefail

say() { printf '[setup] %s\n' "$*"; }
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

export DEBIAN_FRONTEND=noninteractive

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
if [ "$need_i386" = 1 ]; then
  say "adding the i386 architecture"
  as_root dpkg --add-architecture i386
fi

# libjpeg is cross-built from Debian's own source package, which needs deb-src.
src_list=/etc/apt/sources.list.d/parvolux-src.sources
need_src=0
if [ ! -f "$src_list" ]; then
  say "adding deb-src for bookworm"
  as_root tee "$src_list" >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  need_src=1
fi

packages=(
  build-essential cmake make ninja-build pkg-config ccache git ca-certificates dpkg-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  libz-mingw-w64-dev zlib1g-dev libjpeg-dev nasm
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libfftw3-dev libkissfft-dev libpixman-1-dev
  wine wine32:i386 xvfb xauth x11-utils imagemagick
  gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
  gstreamer1.0-plugins-ugly:i386 gstreamer1.0-libav:i386
  gstreamer1.0-plugins-bad:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
  fonts-wine fonts-liberation ffmpeg python3
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ] || [ "$need_i386" = 1 ] || [ "$need_src" = 1 ]; then
  say "installing: ${missing[*]:-(package lists only)}"
  as_root apt-get update -qq
  [ "${#missing[@]}" -gt 0 ] && as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
say "packages ready"
