#!/usr/bin/env bash
# make-heif.sh PHOTOS_FOLDER OUT -- the benchmark photos as phones save them, made with
# Debian's heif-enc from each pNNN.jpg of /work/shared/bench/make-photos.sh:
#   OUT/heic/pNNN.heic  HEVC (x265, quality 70, preset superfast: a 12-MP encode in
#                       seconds rather than half a minute; the decoder's work is alike)
#   OUT/avif/pNNN.avif  AV1 (aom, quality 70)
#   OUT/extra/grid.heic p001 stored as an iPhone stores a photo: turned a quarter left as
#                       a grid of 512 x 512 tiles, with irot and Exif orientation 6 and a
#                       320-pixel thumbnail (tests/data/heif/build_heif.py)
#   OUT/extra/10-bit.avif  p002 at 10 bits a channel (4:2:2: Debian's aom fails on 10-bit
#                       4:2:0)
# Files already made are kept. About 10 s a photo on 2 cores.
set -euo pipefail
photos=$(cd "${1:?usage: make-heif.sh PHOTOS_FOLDER OUT}" && pwd)
out=${2:?usage: make-heif.sh PHOTOS_FOLDER OUT}
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" bench
mkdir -p "$out/heic" "$out/avif" "$out/extra"
out=$(cd "$out" && pwd)
make_one() {  # make_one PHOTO: both files of one photo
  local name
  name=$(basename "$1" .jpg)
  [ -s "$out/heic/$name.heic" ] ||
    heif-enc -q 70 -p preset=superfast -o "$out/heic/$name.heic" "$1" >/dev/null
  [ -s "$out/avif/$name.avif" ] || heif-enc -A -q 70 -o "$out/avif/$name.avif" "$1" >/dev/null
}
export -f make_one
export out
ls "$photos"/p[0-9][0-9][0-9].jpg | xargs -P"$(nproc)" -I{} bash -c 'make_one {}'
[ -s "$out/extra/grid.heic" ] || "$root/tests/data/heif/build_heif.py" grid "$photos/p001.jpg" "$out/extra/grid.heic"
if [ ! -s "$out/extra/10-bit.avif" ]; then
  convert "$photos/p002.jpg" -depth 16 "PNG48:$out/extra/p002-16.png"
  heif-enc -A -b 10 -p chroma=422 -q 70 -o "$out/extra/10-bit.avif" "$out/extra/p002-16.png" >/dev/null
  rm "$out/extra/p002-16.png"
fi
echo "make-heif: $(ls "$out"/heic | wc -l) HEIC and $(ls "$out"/avif | wc -l) AVIF photos, and $(ls "$out"/extra | wc -l) others in $out"
