#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Tolvane need.
# Idempotent: does nothing when all are present. Uses sudo when not run as root.
set -euo pipefail
packages=(
  cmake make g++ pkg-config                       # the portable core
  wine wine64 wine64-tools libwine-dev fonts-wine # the Win32 layer (Winelib)
  libfreeimage-dev libhpdf-dev libqpdf-dev         # images and PDF
  libgtest-dev                                     # tests
  xvfb xauth procps                                # headless display for the UI tests
  fp-utils                                         # chmcmd, compiles the help file
  g++-mingw-w64-i686-posix binutils-mingw-w64-i686 # 32-bit Windows compile check
  qpdf poppler-utils poppler-data imagemagick      # reading back PDFs (CJK text too), screenshots
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
((${#missing[@]} == 0)) && exit 0
SUDO=
[ "$(id -u)" = 0 ] || SUDO=sudo
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
