#!/usr/bin/env bash
# run-windows-exe.sh WORK_DIR ARCH WINE_BUILD_DIR
# Unpacks the release archive of ARCH (x86_64 or i686, from build-windows.sh) and runs its
# Tolvane.exe under Wine as a user would, driven from another process (drive_tolvane.exe):
# adds five photos through the Add Images dialog (an iPhone-like HEIC and an AVIF among
# them), makes a PDF with a password, closes the program. Then checks the PDF with qpdf:
# five pages, AES-256 encryption, refused without the password. Uses the headless display
# of the UI tests (WINE_BUILD_DIR) and their Wine prefix, or for i686 one of its own made
# with 32-bit Wine; skipped (77) without that.
set -euo pipefail
work=$1
arch=$2
wine_build=$3
here=$(cd "$(dirname "$0")" && pwd)
root=$here/../..
version=$(sed -n 's/^#define TOLVANE_VERSION "\(.*\)"$/\1/p' "$root/src/model/version.h")
zip=$root/dist/Tolvane-$version-$arch.zip
[ -f "$zip" ] || { echo "run-windows-exe: no $zip; ./build-windows.sh makes it" >&2; exit 1; }
if [ "$arch" = i686 ]; then
  if ! dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'; then
    echo "run-windows-exe: skipped, 32-bit Wine is not installed (scripts/install-deps.sh installs it)"
    exit 77
  fi
  export TOLVANE_TEST_PREFIX=wineprefix-i686
fi

rm -rf "$work"
mkdir -p "$work/photos"
unzip -q "$zip" -d "$work"
package=$work/Tolvane-$version-$arch
exe=$package/Tolvane.exe
for file in Tolvane.chm README.txt licences/zlib.txt licences/libheif.txt; do
  [ -s "$package/$file" ] || { echo "run-windows-exe: the archive has no $file" >&2; exit 1; }
done
x86_64-w64-mingw32-g++-posix -std=c++17 -O1 -Wall -I"$here/../../src" -static \
  "$here/drive_tolvane.cpp" -o "$work/drive_tolvane.exe" -lcomctl32 -lversion
convert -size 640x480 gradient:orange-navy "$work/photos/sunset.jpg"
convert -size 480x640 pattern:checkerboard -quality 80 "$work/photos/tiles.jpg"
convert -size 300x200 xc:seagreen "$work/photos/field.png"
cp "$here/../data/heif/iphone-like.heic" "$work/photos/IMG_0001.HEIC"
cp "$here/../data/heif/12-bit-alpha.avif" "$work/photos/web.avif"

windows_path() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }
pdf=$work/photos.pdf
password=Secret-42
"$here/../ui/run-under-wine.sh" "$wine_build" "$work/drive_tolvane.exe" \
  "$(windows_path "$exe")" "$(windows_path "$work/photos")" \
  '"sunset.jpg" "tiles.jpg" "field.png" "IMG_0001.HEIC" "web.avif"' 5 "$(windows_path "$pdf")" \
  "$password"

fail() { echo "run-windows-exe: $*" >&2; exit 1; }
qpdf --check --password="$password" "$pdf" >/dev/null || fail "qpdf --check refuses the PDF"
pages=$(qpdf --show-npages --password="$password" "$pdf")
[ "$pages" = 5 ] || fail "$pages pages, not 5"
encryption=$(qpdf --show-encryption --password="$password" "$pdf")
grep -q 'R = 6' <<<"$encryption" && grep -q 'stream encryption method: AESv3' <<<"$encryption" ||
  fail "not AES-256: $encryption"
if qpdf --check "$pdf" >/dev/null 2>&1; then fail "the PDF opens without its password"; fi
echo "run-windows-exe: 5 photos in, a 5-page AES-256 PDF out ($(stat -c %s "$pdf") bytes)"
