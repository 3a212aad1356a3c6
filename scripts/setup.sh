#!/usr/bin/env bash
# Installs what the build, the tests and the player need, as root, on Debian 12.
# Skips every step whose result is already there, so a second run costs seconds.
set -euo pipefail

say() { printf '[setup] %s\n' "$*"; }
as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

export DEBIAN_FRONTEND=noninteractive

# shellcheck source=forms.sh
. "$(dirname "$0")/forms.sh"

# 32-bit Wine only where the kernel runs 32-bit programs; the 64-bit form runs everywhere.
runs32=0
pvl_runs_32bit && runs32=1
need_i386=0
if [ "$runs32" = 1 ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  say "adding the i386 architecture"
  as_root dpkg --add-architecture i386
  need_i386=1
fi

# The machine's own Debian entries, as deb-src: libjpeg is cross-built from Debian's source
# package. Copied from what apt is configured with, so no package host is written here.
debian_src_entries() {
  local codename
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  # deb822 files: each stanza with Types: deb whose suites name this release.
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && [ "$f" != "$src_list" ] || continue
    awk -v cn="$codename" '
      function flush() {
        if (stanza != "" && isdeb && hascn) { sub(/^Types:.*$/, "Types: deb-src", typesline); printf "%s\n%s\n", typesline, stanza }
        stanza = ""; isdeb = 0; hascn = 0; typesline = ""
      }
      /^[ \t]*$/ { flush(); next }
      /^#/ { next }
      /^Types:/ { typesline = $0; for (i = 2; i <= NF; i++) if ($i == "deb") isdeb = 1; next }
      /^Suites:/ { for (i = 2; i <= NF; i++) if ($i == cn) hascn = 1 }
      /^Enabled:[ \t]*no/ { isdeb = 0 }
      { stanza = stanza $0 "\n" }
      END { flush() }' "$f"
  done
  # One-line entries.
  if [ -f /etc/apt/sources.list ]; then
    awk -v cn="$codename" '$1 == "deb" { for (i = 2; i <= NF; i++) if ($i == cn) { $1 = "deb-src"; print; next } }' \
      /etc/apt/sources.list
  fi
}
src_list=/etc/apt/sources.list.d/parvolux-src.sources
need_src=0
if [ ! -s "$src_list" ] && ! grep -rqs '^[[:space:]]*\(deb-src\|Types:.*deb-src\)' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  entries=$(debian_src_entries)
  if [ -z "$entries" ]; then
    say "no Debian entry found in apt's sources to make a deb-src entry from"; exit 1
  fi
  say "adding deb-src entries made from apt's own Debian sources"
  grep -q '^Types:' <<<"$entries" || src_list=/etc/apt/sources.list.d/parvolux-src.list
  printf '%s\n' "$entries" | as_root tee "$src_list" >/dev/null
  need_src=1
fi

packages=(
  build-essential cmake make ninja-build pkg-config ccache git ca-certificates dpkg-dev
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686 mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  libz-mingw-w64-dev zlib1g-dev libjpeg-dev nasm
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libfftw3-dev libkissfft-dev libpixman-1-dev libtag1-dev libswscale-dev
  wine wine64 xvfb xauth x11-utils imagemagick
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-ugly
  gstreamer1.0-plugins-bad gstreamer1.0-libav libgl1 libgl1-mesa-dri libglx-mesa0
  fonts-wine fonts-liberation ffmpeg python3
)
if [ "$runs32" = 1 ]; then
  packages+=(
    wine32:i386
    gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
    gstreamer1.0-plugins-ugly:i386 gstreamer1.0-libav:i386
    gstreamer1.0-plugins-bad:i386 libgl1:i386 libgl1-mesa-dri:i386 libglx-mesa0:i386
  )
fi
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
