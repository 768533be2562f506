#!/usr/bin/env bash
# install-deps.sh [windows | fuzz | bench]
# Installs every Debian package that building, running and testing Tolvane need; with
# "windows", only those that build-windows.sh needs; with "fuzz", only clang, its
# sanitizer and libFuzzer runtimes and the tools that build libheif's sources for
# fuzz/run.sh; with "bench", also the programs bench/compare.sh measures Tolvane against
# and heif-enc. Idempotent: does nothing when all are present. Uses sudo when not run as
# root.
set -euo pipefail
windows=(
  cmake make g++ fp-utils                          # native tools: the help file, OpenEXR's tables
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix  # Windows compilers (std::thread)
  nasm                                             # libjpeg-turbo's and dav1d's SIMD code
  meson ninja-build                                # dav1d's build
  dpkg-dev patch xz-utils                          # apt-get source and unpacking sources
  zip                                              # the release archives
)
bench=()
[ "${1:-}" = bench ] && bench=(graphicsmagick libvips-tools libheif-examples img2pdf time)
# 32-bit Wine runs the 32-bit Tolvane.exe in the tests (on amd64, with the i386
# architecture added for it). The Winelib program keeps to the 64-bit loader.
wine32=()
[ "$(dpkg --print-architecture)" = amd64 ] && wine32=(wine32:i386)
packages=("${bench[@]}" "${wine32[@]}"
  "${windows[@]}"
  pkg-config                                       # the portable core
  wine wine64 wine64-tools libwine-dev fonts-wine # the Win32 layer (Winelib)
  libfreeimage-dev libhpdf-dev libqpdf-dev         # images and PDF
  libjpeg-dev                                      # JPEGs read, kept and turned in place
  libheif-dev libde265-dev libdav1d-dev            # HEIF and AVIF photos
  libgtest-dev zlib1g-dev                          # tests
  xvfb xauth procps                                # headless display for the UI tests
  qpdf poppler-utils poppler-data imagemagick      # reading back PDFs (CJK text too), screenshots
  unzip                                            # the release archives, unpacked by a test
)
[ "${1:-}" = windows ] && packages=("${windows[@]}")
[ "${1:-}" = fuzz ] && packages=(clang libclang-rt-dev libfreeimage-dev cmake meson ninja-build dpkg-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]} == 0)) && exit 0
SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo
echo "Installing: ${missing[*]}"
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
