#!/usr/bin/env bash
# exe-photos.sh ARCH FOLDER [GLOB] -- the Windows Tolvane.exe of ARCH (x86_64 or i686, in
# dist/ from build-windows.sh) adds every GLOB picture of FOLDER (default p*.jpg) through
# its Add Images dialog and makes a PDF of them at the defaults, driven from another
# process under Wine as a user would (the i686 exe in the 32-bit Wine prefix of the
# tests). Prints the driver's times per picture and checks that the PDF has a page for
# each picture. Builds nothing but the driver: run after ./test.sh.
set -euo pipefail
arch=${1:?usage: exe-photos.sh ARCH FOLDER [GLOB]}
folder=$(cd "${2:?usage: exe-photos.sh ARCH FOLDER [GLOB]}" && pwd)
glob=${3:-p*.jpg}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
exe=$root/dist/$arch/Tolvane.exe
[ -f "$exe" ] || { echo "exe-photos: no $exe; ./build-windows.sh makes it" >&2; exit 1; }
[ "$arch" = i686 ] && export TOLVANE_TEST_PREFIX=wineprefix-i686
shopt -s nullglob
files=("$folder"/$glob)
n=${#files[@]}
((n > 0)) || { echo "exe-photos: no $glob in $folder" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
x86_64-w64-mingw32-g++-posix -std=c++17 -O1 -I"$root/src" -static "$root/tests/windows/drive_tolvane.cpp" \
  -o "$work/drive_tolvane.exe" -lcomctl32 -lversion
windows_path() { echo "Z:$(realpath -m "$1" | tr / '\\')"; }
"$root/tests/ui/run-under-wine.sh" "$build/win" "$work/drive_tolvane.exe" "$(windows_path "$exe")" \
  "$(windows_path "$folder")" "$(printf '"%s" ' "${files[@]##*/}")" "$n" \
  "$(windows_path "$work/photos.pdf")" "" >"$work/out" 2>&1 || { cat "$work/out" >&2; exit 1; }
pages=$(qpdf --show-npages "$work/photos.pdf")
grep -E '^(Add Images|Make PDF), from OK:' "$work/out" | sed "s/^/$arch, $n $glob: /"
echo "$arch: a PDF of $pages pages for $n pictures ($(stat -c %s "$work/photos.pdf") bytes)"
[ "$pages" = "$n" ]
