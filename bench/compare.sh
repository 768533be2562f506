#!/usr/bin/env bash
# compare.sh PHOTOS_FOLDER -- Tolvane against the best free peers, on the same photos, in
# one run: GraphicsMagick's thumbnailing against adding the photos, vipsthumbnail (1704
# px box, Q75) + img2pdf against Make PDF at the defaults; Tolvane's core functions
# (native, one process) and its own Add Images and Make PDF code paths with their real
# windows (under Wine). Prints ms/photo, peak memory and the ratios.
# The photos: /work/shared/bench/make-photos.sh or any folder of p*.jpg camera photos.
# Builds nothing: run after the build (BUILD=folder, default ./build).
set -euo pipefail
photos=$(cd "${1:?usage: compare.sh PHOTOS_FOLDER}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD:-$root/build}
"$root/scripts/install-deps.sh" bench
shopt -s nullglob
files=("$photos"/p*.jpg)
n=${#files[@]}
((n > 0)) || { echo "no p*.jpg photos in $photos" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Runs a command; prints "seconds peak_kb".
measure() {
  /usr/bin/time -f '%e %M' -o "$work/time" "$@" >"$work/out" 2>&1 || { cat "$work/out" >&2; return 1; }
  cat "$work/time"
}
ms() { awk -v s="$1" -v n="$n" 'BEGIN { printf "%.1f", s * 1000 / n }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2fx", a / b }'; }
field() { sed -n "s/^$1 *\([0-9.]*\).*/\1/p" "$2" | head -1; }

echo "== $n photos in $photos; $(nproc) cores; load $(cut -d' ' -f1-3 /proc/loadavg)"
mkdir -p "$work/gm" "$work/vips"
names=("${files[@]##*/}")  # mogrify puts each name as given under its output folder
read -r gm_s gm_kb < <(measure env -C "$photos" gm mogrify -output-directory "$work/gm" \
  -size 192x192 -thumbnail 96x96 "${names[@]}")
read -r vt_s vt_kb < <(measure vipsthumbnail -s 1704 -o "$work/vips/%s.jpg[Q=75]" "${files[@]}")
read -r i2p_s i2p_kb < <(measure img2pdf -o "$work/peer.pdf" "$work"/vips/*.jpg)
peer_pdf_s=$(awk -v a="$vt_s" -v b="$i2p_s" 'BEGIN { print a + b }')
peer_pdf_kb=$((vt_kb > i2p_kb ? vt_kb : i2p_kb))

"$build/import_bench" "$photos" 1 >"$work/import" 2>&1
core_import=$(field 'import (MakeThumbnailPixels):' "$work/import")
"$build/pdf_bench" "$photos" summary >"$work/pdf" 2>&1
core_pdf=$(field 'summary defaults:' "$work/pdf")
core_pdf_mb=$(sed -n 's/^summary defaults:.*peak \([0-9]*\) MB.*/\1/p' "$work/pdf")
high_quarter=$(sed -n '/highest+password/{s/.*peak \([0-9]*\) MB, PDF \([0-9.]*\) MB.*/\1 MB (PDF \2 MB)/p}' "$work/pdf" | head -1)
high_all=$(sed -n '/highest+password/{s/.*peak \([0-9]*\) MB, PDF \([0-9.]*\) MB.*/\1 MB (PDF \2 MB)/p}' "$work/pdf" | tail -1)

# The program's own code paths under Wine, in one process: Add Images then Make PDF.
winfolder=$(WINEPREFIX="$build/win/wineprefix" winepath -w "$photos" 2>/dev/null)
TOLVANE_BENCH_PHOTOS="$winfolder" "$root/tests/ui/run-under-wine.sh" "$build/win" \
  "$build/win/ui_bench.exe" >"$work/ui" 2>&1 || { cat "$work/ui" >&2; exit 1; }
ui_import=$(field 'AddImageFile (all of it):' "$work/ui")
ui_pdf=$(field 'Make PDF (defaults):' "$work/ui")
ui_mb=$(field 'peak memory (whole run):' "$work/ui")

gm_ms=$(ms "$gm_s"); peer_ms=$(ms "$peer_pdf_s")
printf '\n| Job | Tolvane core (1 process) | Tolvane program (Wine) | Best peer | core / peer | program / peer |\n'
printf '|---|---|---|---|---|---|\n'
printf '| Adding photos (thumbnails) | %s ms | %s ms | GraphicsMagick: %s ms | %s | %s |\n' \
  "$core_import" "$ui_import" "$gm_ms" "$(ratio "$core_import" "$gm_ms")" "$(ratio "$ui_import" "$gm_ms")"
printf '| Make PDF at the defaults | %s ms | %s ms | vipsthumbnail + img2pdf: %s ms | %s | %s |\n' \
  "$core_pdf" "$ui_pdf" "$peer_ms" "$(ratio "$core_pdf" "$peer_ms")" "$(ratio "$ui_pdf" "$peer_ms")"
printf '| Peak memory, PDF at the defaults | %s MB | %s MB (add + PDF) | %s MB | | |\n' \
  "$core_pdf_mb" "$ui_mb" "$((peer_pdf_kb / 1024))"
printf '| Peak memory, Highest + password | %s; a quarter of the photos: %s | | | | |\n' \
  "$high_all" "$high_quarter"
printf '\nTimes are per photo; the peers use every core, Tolvane one process (two decoder\n'
printf 'processes would roughly halve its times). Peer PDF: vipsthumbnail %s ms + img2pdf %s ms.\n' \
  "$(ms "$vt_s")" "$(ms "$i2p_s")"
