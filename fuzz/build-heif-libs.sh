#!/usr/bin/env bash
# fuzz/build-heif-libs.sh SOURCES PREFIX
# Builds libde265, dav1d and libheif from their unpacked Debian sources in SOURCES (as
# scripts/windows/fetch-sources.sh unpacks them) with clang, AddressSanitizer and the
# fuzzer's coverage, as static libraries in PREFIX: the fuzz target then explores the
# decoders that a HEIF file reaches, not only the program's own code. Decoders only,
# plugin loading off, dav1d without assembly (which no sanitizer sees). Once: PREFIX/.built
# marks it done.
set -euo pipefail
src=$(realpath "$1")
prefix=$(mkdir -p "$2" && realpath "$2")
[ -f "$prefix/.built" ] && exit 0
work=$prefix/build
mkdir -p "$work"
flags="-O1 -g -fsanitize=address,fuzzer-no-link"
export CC=clang CXX=clang++ CFLAGS="$flags" CXXFLAGS="$flags"
log=$prefix/build.log
: >"$log"
failed() { tail -30 "$log" >&2; echo "fuzz/build-heif-libs: failed, see $log" >&2; exit 1; }
cmake_lib() {  # cmake_lib NAME SOURCE_DIR [CMAKE_ARGS...]
  local name=$1 dir=$2; shift 2
  { cmake -S "$dir" -B "$work/$name" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
      -DCMAKE_C_FLAGS_RELEASE= -DCMAKE_CXX_FLAGS_RELEASE= -DBUILD_SHARED_LIBS=OFF "$@" &&
    cmake --build "$work/$name" -j"$(nproc)" && cmake --install "$work/$name"; } >>"$log" 2>&1 || failed
}
cmake_lib de265 "$src/libde265" -DENABLE_SDL=OFF -DENABLE_DECODER=OFF -DENABLE_ENCODER=OFF
{ meson setup "$work/dav1d" "$src/dav1d" --prefix "$prefix" --libdir lib --buildtype plain \
    -Ddefault_library=static -Denable_asm=false -Denable_tools=false -Denable_tests=false \
    -Denable_examples=false && ninja -C "$work/dav1d" -j"$(nproc)" install; } >>"$log" 2>&1 || failed
cmake_lib heif "$src/libheif" -DENABLE_PLUGIN_LOADING=OFF -DWITH_EXAMPLES=OFF \
  -DWITH_LIBDE265=ON -DWITH_DAV1D=ON -DWITH_X265=OFF -DWITH_AOM_ENCODER=OFF \
  -DWITH_AOM_DECODER=OFF -DWITH_SvtEnc=OFF -DWITH_RAV1E=OFF -DWITH_GDK_PIXBUF=OFF \
  -DLIBDE265_INCLUDE_DIR="$prefix/include" -DLIBDE265_LIBRARY="$prefix/lib/libde265.a" \
  -DDAV1D_INCLUDE_DIR="$prefix/include" -DDAV1D_LIBRARY="$prefix/lib/libdav1d.a"
touch "$prefix/.built"
