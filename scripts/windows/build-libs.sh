#!/usr/bin/env bash
# build-libs.sh ARCH SOURCES OUT
# Cross-builds static Windows libraries for ARCH (x86_64 or i686) from the unpacked Debian
# sources in SOURCES: zlib, libjpeg-turbo, libpng, libharu, qpdf, FreeImage, and for HEIF
# and AVIF photos libde265, dav1d and libheif (decoders only, plugin loading off; also a
# libheif without HEVC, libheif-nohevc.a). Installs them into OUT/prefix. Each library is
# built once: a stamp in the prefix marks it done.
set -euo pipefail
arch=$1
src=$(realpath "$2")
out=$(mkdir -p "$3" && realpath "$3")
root=$(realpath "$(dirname "$0")/../..")
prefix=$out/prefix
jobs=${JOBS:-$(nproc)}
host=$arch-w64-mingw32
mkdir -p "$prefix/include" "$prefix/lib" "$out/logs" "$out/build"
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig  # never the Linux libraries
export PKG_CONFIG_PATH=

cmake_lib() {  # cmake_lib NAME SOURCE_DIR [CMAKE_ARGS...]
  local name=$1 dir=$2; shift 2
  rm -rf "$out/build/$name"
  cmake -S "$dir" -B "$out/build/$name" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-toolchain.cmake" -DMINGW_ARCH="$arch" \
    -DMINGW_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" "$@"
  cmake --build "$out/build/$name" -j"$jobs"
}

build_zlib() {
  rm -rf "$out/build/zlib" && cp -r "$src/zlib" "$out/build/zlib"
  # Debian's source has no Windows makefile; zlib is a plain set of C files.
  (cd "$out/build/zlib" &&
   for f in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
            inflate inftrees trees uncompr zutil; do
     echo "$host-gcc-posix -O2 -c $f.c"
   done | xargs -P"$jobs" -I{} sh -c {} &&
   "$host-ar" rcs libz.a ./*.o)
  cp "$out/build/zlib"/{zlib.h,zconf.h} "$prefix/include/"
  cp "$out/build/zlib/libz.a" "$prefix/lib/"
}

build_jpeg() {
  cmake_lib jpeg "$src/libjpeg-turbo" -DENABLE_SHARED=OFF -DWITH_TURBOJPEG=OFF \
    -DCMAKE_ASM_NASM_COMPILER=nasm
  cmake --install "$out/build/jpeg"
}

build_png() {
  cmake_lib png "$src/libpng1.6" -DPNG_SHARED=OFF -DPNG_TESTS=OFF -DPNG_EXECUTABLES=OFF \
    -DZLIB_ROOT="$prefix" -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
  cmake --install "$out/build/png"
}

build_haru() {
  # FreeImage's LibTIFF defines the same two fax tables: libharu's take other names.
  cmake_lib haru "$src/libharu" -DLIBHPDF_SHARED=OFF -DLIBHPDF_STATIC=ON \
    -DLIBHPDF_EXAMPLES=OFF -DCMAKE_C_FLAGS="-DTIFFFaxWhiteCodes=HPDF_TIFFFaxWhiteCodes -DTIFFFaxBlackCodes=HPDF_TIFFFaxBlackCodes" \
    -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" \
    -DPNG_LIBRARY="$prefix/lib/libpng16.a" -DPNG_PNG_INCLUDE_DIR="$prefix/include"
  cmake --install "$out/build/haru"
}

build_qpdf() {
  rm -rf "$out/build/qpdf-src" && cp -r "$src/qpdf" "$out/build/qpdf-src"
  # The Windows library is advapi32; "Advapi32" is not found on a case-sensitive disk.
  sed -i 's/APPEND CMAKE_REQUIRED_LIBRARIES Advapi32/APPEND CMAKE_REQUIRED_LIBRARIES advapi32/' \
    "$out/build/qpdf-src/CMakeLists.txt"
  rm -rf "$out/build/qpdf"
  cmake -S "$out/build/qpdf-src" -B "$out/build/qpdf" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-toolchain.cmake" -DMINGW_ARCH="$arch" \
    -DMINGW_PREFIX="$prefix" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DBUILD_STATIC_LIBS=ON -DUSE_IMPLICIT_CRYPTO=OFF \
    -DREQUIRE_CRYPTO_NATIVE=ON -DBUILD_DOC=OFF -DINSTALL_EXAMPLES=OFF \
    -DZLIB_ROOT="$prefix" -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include"
  # Only the library: qpdf's own programs and tests are not needed.
  cmake --build "$out/build/qpdf" -j"$jobs" --target libqpdf
  mkdir -p "$prefix/include/qpdf"
  cp "$out/build/qpdf-src/include/qpdf/"*.h* "$prefix/include/qpdf/"
  cp "$out/build/qpdf/libqpdf/libqpdf.a" "$prefix/lib/"
}

build_de265() {
  local tree=$out/build/de265-src
  # On Windows libde265 makes a kernel mutex, semaphore and event for every coding block
  # of every picture, and locks and signals them as it decodes: a system call each (under
  # Wine a round trip to the server, 18,000 for a 12-MP photo, which made decoding 3.7
  # times slower). It takes slim locks and condition variables instead.
  rm -rf "$tree" && cp -r "$src/libde265" "$tree"
  patch -d "$tree" -p1 <"$root/scripts/windows/libde265-slim-locks.patch"
  cmake_lib de265 "$tree" -DBUILD_SHARED_LIBS=OFF -DENABLE_SDL=OFF \
    -DENABLE_DECODER=OFF -DENABLE_ENCODER=OFF
  cmake --install "$out/build/de265"
}

build_dav1d() {
  local cpu=$arch family=$arch
  [ "$arch" = i686 ] && family=x86
  cat >"$out/build/dav1d-cross.txt" <<CROSS
[binaries]
c = '$host-gcc-posix'
ar = '$host-ar'
strip = '$host-strip'
windres = '$host-windres'
nasm = 'nasm'
pkgconfig = 'pkg-config'

[host_machine]
system = 'windows'
cpu_family = '$family'
cpu = '$cpu'
endian = 'little'
CROSS
  rm -rf "$out/build/dav1d"
  meson setup "$out/build/dav1d" "$src/dav1d" --cross-file "$out/build/dav1d-cross.txt" \
    --prefix "$prefix" --libdir lib --buildtype release -Ddefault_library=static \
    -Denable_tools=false -Denable_tests=false -Denable_examples=false
  ninja -C "$out/build/dav1d" -j"$jobs" install
}

# build_libheif ON|OFF NAME: libheif with dav1d, and with libde265 or without it.
build_libheif() {
  local hevc=$1 name=$2
  cmake_lib "$name" "$src/libheif" -DBUILD_SHARED_LIBS=OFF -DENABLE_PLUGIN_LOADING=OFF \
    -DWITH_EXAMPLES=OFF -DWITH_LIBDE265="$hevc" -DWITH_DAV1D=ON -DWITH_X265=OFF \
    -DWITH_AOM_ENCODER=OFF -DWITH_AOM_DECODER=OFF -DWITH_SvtEnc=OFF -DWITH_RAV1E=OFF \
    -DLIBDE265_INCLUDE_DIR="$prefix/include" -DLIBDE265_LIBRARY="$prefix/lib/libde265.a" \
    -DDAV1D_INCLUDE_DIR="$prefix/include" -DDAV1D_LIBRARY="$prefix/lib/libdav1d.a"
}

build_heif() {
  build_libheif ON heif
  cmake --install "$out/build/heif"
}

build_heif_nohevc() {
  build_libheif OFF heif_nohevc
  cp "$out/build/heif_nohevc/libheif/libheif.a" "$prefix/lib/libheif-nohevc.a"
}

# OpenEXR's DWA tables are generated by a program of its own; the header is the same for
# every architecture, so it is made once, natively, and shared.
make_dwa_lookups() {  # make_dwa_lookups FREEIMAGE_TREE
  local shared=$out/../dwaLookups.h exr=$1/Source/OpenEXR
  (
    flock 9
    if [ ! -s "$shared" ]; then
      local tmp=$out/build/dwa
      mkdir -p "$tmp"
      g++ -O2 -pthread -w -I"$exr" -I"$exr/Half" -I"$exr/Iex" -I"$exr/IlmThread" \
        -I"$exr/IlmImf" -I"$exr/Imath" -I"$exr/IexMath" \
        "$exr/IlmImf/dwaLookups.cpp" "$exr"/Half/half.cpp "$exr"/Iex/*.cpp \
        "$exr"/IlmThread/IlmThread.cpp "$exr"/IlmThread/IlmThreadMutex.cpp \
        "$exr"/IlmThread/IlmThreadPool.cpp "$exr"/IlmThread/IlmThreadSemaphore.cpp \
        "$exr"/IlmThread/IlmThreadPosix.cpp "$exr"/IlmThread/IlmThreadMutexPosix.cpp \
        "$exr"/IlmThread/IlmThreadSemaphorePosix*.cpp -o "$tmp/dwaLookups"
      "$tmp/dwaLookups" > "$shared.tmp" && mv "$shared.tmp" "$shared"
    fi
  ) 9>"$out/../dwaLookups.lock"
  cp "$out/../dwaLookups.h" "$exr/IlmImf/dwaLookups.h"
}

build_freeimage() {
  local fi=$out/build/freeimage patches=$src/freeimage/debian/patches
  rm -rf "$fi" && mkdir -p "$fi"
  # FreeImage's own code from Debian's orig tarball, the libraries it bundles from the
  # vendored tarball. Debian's patches that switch to its Linux builds of those libraries
  # are left out; its fixes (security ones included) are applied.
  tar -C "$fi" --strip-components=1 -xf "$(ls "$src"/download/freeimage_*.orig.tar.* | head -1)"
  tar -C "$fi" -xJf "$root/third_party/freeimage-bundled/freeimage-3.18.0-bundled-libraries.tar.xz"
  for p in Fix-macro-redefinition-for-64-bit-integer-types Fix-compatibility-with-system-libpng \
           Fix-encoding-of-fi-header CVE-2019-12211-13 Fix_compilation_external-static \
           Use-system-jpeg_read_icc_profile CVE-2020-21427_21428_22524; do
    patch -d "$fi" -p1 --forward < "$patches/$p.patch"
  done
  # zlib, libjpeg and libpng are the Debian ones built above, found in the prefix.
  sed -i -e 's|#include "../LibJPEG/jinclude.h"|#include <stdio.h>|' \
         -e 's|#include "../LibJPEG/\([a-z]*\.h\)"|#include <\1>|' \
         -e 's|#include "../LibPNG/png.h"|#include <png.h>|' \
         -e 's|#include "../ZLib/zlib.h"|#include <zlib.h>|' \
         -e 's|#include "../ZLib/zutil.h".*||' \
         -e 's|\*p = OS_CODE;|*p = 10;|' \
         "$fi"/Source/FreeImage/*.cpp "$fi"/Source/Metadata/*.cpp
  # LibJXR's stand-in guiddef.h for other systems would hide MinGW's own.
  rm "$fi/Source/LibJXR/common/include/guiddef.h"
  # MinGW has _byteswap_ulong; the test for it names an old toolchain macro.
  sed -i 's/defined(__MINGW64_TOOLCHAIN__)/defined(__MINGW64_VERSION_MAJOR)/' \
    "$fi/Source/LibJXR/image/sys/strcodec.c"
  # OpenEXR's SSE2 path: Windows has no posix_memalign, and a pointer fits size_t, not
  # unsigned long (32 bits on 64-bit Windows).
  perl -0pi -e 's/void\* ptr = 0;\n    posix_memalign\(&ptr, alignment, size\);/void* ptr = 0;\n#ifdef _WIN32\n    ptr = _aligned_malloc(size, alignment);\n#else\n    posix_memalign(&ptr, alignment, size);\n#endif/; s/(EXRFreeAligned\(void\* ptr\)\n\{\n)    free\(ptr\);/$1#ifdef _WIN32\n    _aligned_free(ptr);\n#else\n    free(ptr);\n#endif/' \
    "$fi/Source/OpenEXR/IlmImf/ImfSystemSpecific.h"
  sed -i 's/unsigned long trailingBits = ((unsigned long)pPointer) & 15;/size_t trailingBits = ((size_t)pPointer) \& 15;/' \
    "$fi/Source/OpenEXR/IlmImf/ImfOptimizedPixelReading.h"
  make_dwa_lookups "$fi"

  # Makefile.srcs lists every source; b44ExpLogTable.cpp is a generator with its own main()
  # (statically linked it became the program's entry point).
  local srcs inc
  srcs=$(sed -n 's/^SRCS = //p' "$fi/Makefile.srcs" | tr ' ' '\n' |
         grep -vE '/(LibJPEG|LibPNG|ZLib)/|b44ExpLogTable\.cpp|JPEGTransform\.cpp' | tr '\n' ' ')
  inc="$(sed -n 's/^INCLUDE = //p' "$fi/Makefile.srcs") -I$prefix/include"
  local defs="-O2 -fexceptions -w -DNDEBUG -DDISABLE_PERF_MEASUREMENT -DWINVER=0x0601 -DFREEIMAGE_LIB -DOPJ_STATIC"
  make -C "$fi" -f Makefile.mingw -j"$jobs" FREEIMAGE_LIBRARY_TYPE=STATIC \
    CC="$host-gcc-posix" CXX="$host-g++-posix" AR="$host-ar" SRCS="$srcs" \
    CFLAGS="$defs $inc" \
    CXXFLAGS="$defs -DLIBRAW_NODLL -std=gnu++14 -Wno-narrowing -include stdexcept $inc" \
    FreeImage
  cp "$fi/Source/FreeImage.h" "$prefix/include/"
  cp "$fi/libFreeImage.a" "$prefix/lib/libfreeimage.a"
}

step() {  # step NAME: builds once, its log in OUT/logs
  local name=$1
  [ -f "$prefix/.built-$name" ] && return 0
  local start=$SECONDS
  # errexit holds inside the subshell only when it is not tested by an if or ||.
  set +e
  (set -e; "build_$name") >"$out/logs/$name.log" 2>&1
  local status=$?
  set -e
  if [ $status != 0 ]; then
    echo "build-libs ($arch): $name failed, see $out/logs/$name.log" >&2
    tail -20 "$out/logs/$name.log" >&2
    return 1
  fi
  touch "$prefix/.built-$name"
  echo "build-libs ($arch): $name built in $((SECONDS - start)) s"
}

if [ -n "${LIBS:-}" ]; then
  for lib in $LIBS; do step "$lib"; done
  exit 0
fi
step zlib
step jpeg
step png
# The rest need only those three: libharu, qpdf and the HEIF libraries build beside
# FreeImage, the longest.
(step haru && step qpdf && step de265 && step dav1d && step heif && step heif_nohevc) &
others=$!
status=0
step freeimage || status=1
wait $others || status=1
exit $status
