#!/usr/bin/env bash
# Compiles every source of the program for 32-bit Windows with MinGW-w64 (i686), as a
# check that the Win32 layer stays real Windows code. Linking is not possible here:
# Debian has no Windows builds of FreeImage, libharu or qpdf.
set -euo pipefail
out=${1:-build/mingw}
mkdir -p "$out"
CXX=i686-w64-mingw32-g++-posix
RC=i686-w64-mingw32-windres
flags=(-std=c++17 -c -O0 -Wall -Wno-unused-parameter -Wno-unknown-pragmas -DNOMINMAX
       -DPOINTERHOLDER_TRANSITION=4 -Isrc -idirafter /usr/include)
status=0
n=0
while IFS= read -r f; do
  obj="$out/$(echo "${f#src/}" | tr / _).o"
  if ! "$CXX" "${flags[@]}" "$f" -o "$obj"; then
    echo "mingw-check: $f does not compile for 32-bit Windows" >&2
    status=1
  fi
  n=$((n + 1))
done < <(find src -name '*.cpp' | sort)
if ! "$RC" -Isrc/resources -Isrc --input-format=rc -O coff src/resources/tolvane.rc "$out/tolvane_res.o"; then
  echo "mingw-check: the resources do not compile for 32-bit Windows" >&2
  status=1
fi
[ $status = 0 ] && echo "mingw-check: $n sources and the resources compile for 32-bit Windows"
exit $status
