#!/usr/bin/env bash
# package.sh ARCH BUILD_FOLDER SOURCES ZIP
# Writes the release archive of one architecture: a folder Tolvane-<version>-<arch>
# holding Tolvane.exe, its help file, a short read-me and the licence texts of every
# library linked into the exe, from their Debian sources, the vendored FreeImage
# libraries and the MinGW-w64 runtime's Debian copyright files. HEVC=OFF: an exe built
# without libde265 (./build-windows.sh --without-hevc), whose licence then stays out.
set -euo pipefail
arch=$1 build=$2 sources=$3 zip=$(realpath -m "$4")
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^#define TOLVANE_VERSION "\(.*\)"$/\1/p' "$root/src/model/version.h")
company=$(sed -n 's/^#define TOLVANE_COMPANY "\(.*\)"$/\1/p' "$root/src/model/version.h")
bits=64-bit; [ "$arch" = i686 ] && bits=32-bit
runtime=/usr/share/doc/mingw-w64-${arch//_/-}-dev/copyright
[ -f "$runtime" ] || runtime=/usr/share/doc/mingw-w64-common/copyright

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
name=Tolvane-$version-$arch
dir=$stage/$name
mkdir -p "$dir/licences"
cp "$build/Tolvane.exe" "$build/Tolvane.chm" "$dir/"
# Windows line ends: Notepad before Windows 10 shows nothing else as lines.
crlf() { sed 's/\r*$/\r/' "$1" >"$2"; }
sed -e "s/VERSION/$version/; s/BITS/$bits/g; s/COMPANY/$company/" \
  "$root/scripts/windows/README.txt" | sed 's/$/\r/' >"$dir/README.txt"
crlf "$sources/zlib/LICENSE" "$dir/licences/zlib.txt"
crlf "$sources/libpng1.6/LICENSE" "$dir/licences/libpng.txt"
crlf "$sources/libjpeg-turbo/LICENSE.md" "$dir/licences/libjpeg-turbo.txt"
crlf "$sources/libjpeg-turbo/README.ijg" "$dir/licences/libjpeg-turbo-IJG.txt"
crlf "$sources/freeimage/license-fi.txt" "$dir/licences/FreeImage.txt"
sed -n '/^\* License/,/^\* Acknowledgment/p' "$sources/libharu/README" | sed '$d' >"$stage/haru"
crlf "$stage/haru" "$dir/licences/libharu.txt"
crlf "$sources/qpdf/LICENSE.txt" "$dir/licences/qpdf.txt"
crlf "$sources/qpdf/NOTICE.md" "$dir/licences/qpdf-NOTICE.txt"
crlf "$sources/libheif/COPYING" "$dir/licences/libheif.txt"
crlf "$sources/dav1d/COPYING" "$dir/licences/dav1d.txt"
[ "${HEVC:-ON}" = OFF ] || crlf "$sources/libde265/COPYING" "$dir/licences/libde265.txt"
bundled=$root/third_party/freeimage-bundled/licences
while read -r f; do
  crlf "$bundled/$f" "$dir/licences/FreeImage-${f//\//-}.txt"  # LibTIFF4/COPYRIGHT: FreeImage-LibTIFF4-COPYRIGHT
done < <(cd "$bundled" && find . -type f \( -name 'LICEN[CS]E*' -o -name COPYRIGHT -o -name COPYING \
                                         -o -name PATENTS \) | sed 's|^\./||' | sort)
crlf "$runtime" "$dir/licences/MinGW-w64-runtime.txt"
crlf /usr/share/doc/gcc-mingw-w64-base/copyright "$dir/licences/GCC-runtime-libraries.txt"
for f in "$dir"/licences/*; do
  [ -s "$f" ] || { echo "package: empty licence $f" >&2; exit 1; }
done
(cd "$stage" && zip -qrX "$name.zip" "$name")
mv "$stage/$name.zip" "$zip"
