#!/usr/bin/env bash
# build-windows.sh [--without-hevc] [x86_64] [i686]
# Builds Tolvane.exe for 64-bit and 32-bit Windows: dist/<arch>/Tolvane.exe with its help
# file Tolvane.chm beside it, a folder to copy to a Windows computer as it is, and the
# release archive dist/Tolvane-<version>-<arch>.zip (scripts/windows/package.sh). Installs
# the MinGW-w64 compilers, fetches the Debian sources of zlib, libjpeg-turbo, libpng,
# FreeImage, libharu, qpdf, libde265, dav1d and libheif with apt, and cross-builds them
# once into build/windows/<arch>/prefix; later runs rebuild only Tolvane.
# --without-hevc leaves out the HEVC decoder (HEVC may be covered by patents in some
# countries): HEIC photos are then not read, AVIF still is. Into dist/without-hevc/.
set -euo pipefail
cd "$(dirname "$0")"
hevc=ON dist=dist variant=tolvane
if [ "${1:-}" = --without-hevc ]; then
  hevc=OFF dist=dist/without-hevc variant=tolvane-without-hevc
  shift
fi
arches=("$@")
((${#arches[@]})) || arches=(x86_64 i686)
scripts/install-deps.sh windows
scripts/windows/fetch-sources.sh build/windows/sources

# DLLs that every Windows Tolvane runs on has; the exe may import nothing else.
system_dlls='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|ole32|oleaut32|shlwapi|psapi|advapi32|ws2_32|msvcrt|bcrypt|crypt32)\.dll$'

build_arch() {
  local arch=$1 out=build/windows/$1
  scripts/windows/build-libs.sh "$arch" build/windows/sources "$out"
  cmake -S mingw -B "$out/$variant" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-toolchain.cmake" -DMINGW_ARCH="$arch" \
    -DMINGW_PREFIX="$PWD/$out/prefix" -DTOLVANE_HEVC=$hevc >"$out/logs/$variant-configure.log"
  cmake --build "$out/$variant" -j"$(nproc)" >"$out/logs/$variant.log" 2>&1 ||
    { tail -30 "$out/logs/$variant.log" >&2; return 1; }
  local bad
  bad=$("$arch-w64-mingw32-objdump" -p "$out/$variant/Tolvane.exe" |
        sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z' | grep -vE "$system_dlls" || true)
  if [ -n "$bad" ]; then
    echo "build-windows ($arch): Tolvane.exe imports DLLs that Windows does not have: $bad" >&2
    return 1
  fi
  mkdir -p "$dist/$arch"
  cp "$out/$variant/Tolvane.exe" "$out/$variant/Tolvane.chm" "$dist/$arch/"
  local zip
  zip=$dist/Tolvane-$(sed -n 's/^#define TOLVANE_VERSION "\(.*\)"$/\1/p' src/model/version.h)-$arch.zip
  HEVC=$hevc scripts/windows/package.sh "$arch" "$out/$variant" build/windows/sources "$zip"
  echo "build-windows: $dist/$arch/Tolvane.exe ($(du -k "$dist/$arch/Tolvane.exe" | cut -f1) KB), $zip"
}

# The architectures build side by side.
pids=()
for arch in "${arches[@]}"; do build_arch "$arch" & pids+=($!); done
status=0
for pid in "${pids[@]}"; do wait "$pid" || status=1; done
exit $status
