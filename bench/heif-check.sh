#!/usr/bin/env bash
# heif-check.sh HEIF_FOLDER [STEP] -- the program's decodes of bench/make-heif.sh's photos
# (heic/, avif/, extra/; every STEP-th of each folder, default all) against Debian's
# heif-convert: PSNR of each, then the lowest and how many are under 40 dB. Run after the
# build (BUILD=folder, default ./build).
set -euo pipefail
heif=$(cd "${1:?usage: heif-check.sh HEIF_FOLDER [STEP]}" && pwd)
step=${2:-1}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
command -v heif-convert >/dev/null || "$root/scripts/install-deps.sh" bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
lowest=999 checked=0 under=0
for folder in heic avif extra; do
  i=0
  for file in "$heif/$folder"/*; do
    ((i++ % step == 0)) || continue
    heif-convert "$file" "$work/ref.png" >/dev/null
    result=$("$build/heif_psnr" "$file" "$work/ref.png") || { echo "$file: $result" >&2; exit 1; }
    db=${result#PSNR }
    [ "$db" = identical ] && db=99
    echo "$folder/${file##*/}: $result"
    checked=$((checked + 1))
    awk -v d="$db" 'BEGIN { exit !(d < 40) }' && under=$((under + 1))
    lowest=$(awk -v a="$lowest" -v b="$db" 'BEGIN { print (b < a ? b : a) }')
    rm -f "$work"/ref*.png
  done
done
echo "heif-check: $checked pictures against heif-convert, lowest PSNR $lowest dB (99: identical), $under under 40 dB"
