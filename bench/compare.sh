#!/usr/bin/env bash
# compare.sh PHOTOS_FOLDER [HEIF_FOLDER] -- Tolvane against the best free peers, on the
# same photos, in one run: GraphicsMagick's thumbnailing against adding the photos,
# vipsthumbnail (1704 px box, Q75) + img2pdf against Make PDF at the defaults, img2pdf of
# the photos as they are against Make PDF at Highest (whose JPEGs bench/kept_jpegs.py
# checks); Tolvane's core functions (native, one process), its own Add Images and Make PDF
# code paths with their real windows (under Wine), and the Windows Tolvane.exe (x86_64,
# from build-windows.sh) driven from outside under Wine. Prints ms/photo, peak memory and
# the ratios.
# The photos: /work/shared/bench/make-photos.sh or any folder of p*.jpg camera photos.
# With HEIF_FOLDER (bench/make-heif.sh's), also its heic/p*.heic and avif/p*.avif photos
# beside the peer that reads them, vipsthumbnail (with libheif, as Tolvane): adding them
# (96 px box) and Make PDF (1704 px box, Q75, + img2pdf).
# Builds nothing: run after the build (BUILD=folder, default ./build).
set -euo pipefail
photos=$(cd "${1:?usage: compare.sh PHOTOS_FOLDER [HEIF_FOLDER]}" && pwd)
heif=${2:+$(cd "$2" && pwd)}
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
ms() { awk -v s="$1" -v n="${2:-$n}" 'BEGIN { printf "%.1f", s * 1000 / n }'; }
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
# At Highest the peer is img2pdf alone, which puts the photos' JPEG data in as it is.
read -r kept_s kept_kb < <(measure img2pdf -o "$work/kept.pdf" "${files[@]}")
rm -f "$work/kept.pdf"
peer_pdf_kb=$((vt_kb > i2p_kb ? vt_kb : i2p_kb))

"$build/import_bench" "$photos" 1 >"$work/import" 2>&1
core_import=$(field 'import (MakeThumbnailPixels):' "$work/import")
"$build/pdf_bench" "$photos" summary >"$work/pdf" 2>&1
core_pdf=$(field 'summary defaults:' "$work/pdf")
core_pdf_mb=$(sed -n 's/^summary defaults:.*peak \([0-9]*\) MB.*/\1/p' "$work/pdf")
high_quarter=$(sed -n '/highest+password/{s/.*peak \([0-9]*\) MB, PDF \([0-9.]*\) MB.*/\1 MB (PDF \2 MB)/p}' "$work/pdf" | head -1)
high_all=$(sed -n '/highest+password/{s/.*peak \([0-9]*\) MB, PDF \([0-9.]*\) MB.*/\1 MB (PDF \2 MB)/p}' "$work/pdf" | tail -1)

same_output=$(sed -n 's/^summary same output: lowest PSNR \([0-9.]*\) dB.*/\1/p' "$work/pdf")

# Runs the program's Add Images and Make PDF under Wine (one process and its decoder
# processes) with the environment given. With "sample" first, samples the memory of all
# of them together every 0.1 s and prints the highest total in MB; the sampling takes
# CPU, so the times are taken from a run without it.
winpath() { WINEPREFIX="$build/win/wineprefix" "$root/scripts/wine64.sh" winepath -w "$1" 2>/dev/null; }
winfolder=$(winpath "$photos")
program() {
  local sample=0
  [ "${1:-}" = sample ] && { sample=1; shift; }
  env TOLVANE_BENCH_PHOTOS="$winfolder" "$@" "$root/tests/ui/run-under-wine.sh" "$build/win" \
    "$build/win/ui_bench.exe" --gtest_filter=Bench.AddImagesThenMakePdf >"$work/ui" 2>&1 &
  local runner=$! most=0 total p kb
  while ((sample)) && kill -0 "$runner" 2>/dev/null; do
    total=0
    for p in $(pgrep -f 'ui_bench\.exe\.so' || true); do
      # This build's only: other builds on the machine may run their benchmark meanwhile.
      # (A process may end between pgrep and here: its missing environ is no error.)
      tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qx "WINEPREFIX=$build/win/wineprefix" || continue
      kb=$(awk '/^VmRSS/ {print $2}' "/proc/$p/status" 2>/dev/null || true)
      total=$((total + ${kb:-0}))
    done
    ((total > most)) && most=$total
    sleep 0.1
  done
  wait "$runner" || { cat "$work/ui" >&2; return 1; }
  echo $((most / 1024))
}
program >/dev/null
ui_import=$(field 'Add Images, from OK:' "$work/ui")
ui_pdf=$(field 'Make PDF, from OK:' "$work/ui")
ui_all_mb=$(program sample)
ui_mb=$(field 'program peak memory:' "$work/ui")
ui_high_all_mb=$(program sample TOLVANE_BENCH_QUALITY=1 TOLVANE_BENCH_PASSWORD=secret)
ui_high_mb=$(field 'program peak memory:' "$work/ui")
ui_high_pdf=$(sed -n 's/^Make PDF, from OK:.*PDF \([0-9.]*\) MB.*/\1/p' "$work/ui")
# At Highest without a password, timed, the PDF kept and checked against the photos.
program TOLVANE_BENCH_QUALITY=1 TOLVANE_BENCH_KEEP="$(winpath "$work")\\high.pdf" >/dev/null
ui_high=$(field 'Make PDF, from OK:' "$work/ui")
kept_check=$(/usr/bin/python3 "$root/bench/kept_jpegs.py" "$work/high.pdf" "${files[@]}")
rm -f "$work/high.pdf"

# The Windows build: dist/x86_64/Tolvane.exe through its dialogs, driven from another process.
exe_import=- exe_pdf=-
if [ -f "$root/dist/x86_64/Tolvane.exe" ]; then
  x86_64-w64-mingw32-g++-posix -std=c++17 -O1 -I"$root/src" -static "$root/tests/windows/drive_tolvane.cpp" \
    -o "$work/drive_tolvane.exe" -lcomctl32 -lversion
  "$root/tests/ui/run-under-wine.sh" "$build/win" "$work/drive_tolvane.exe" \
    "$(winpath "$root/dist/x86_64/Tolvane.exe")" "$winfolder" "$(printf '"%s" ' "${names[@]}")" \
    "$n" "$(winpath "$work/exe.pdf")" "" >"$work/exe" 2>&1 || { cat "$work/exe" >&2; exit 1; }
  exe_import=$(field 'Add Images, from OK:' "$work/exe")
  exe_pdf=$(field 'Make PDF, from OK:' "$work/exe")
fi

gm_ms=$(ms "$gm_s"); peer_ms=$(ms "$peer_pdf_s")
printf '\n| Job | Tolvane core (1 process) | Tolvane program (Wine) | Best peer | core / peer | program / peer |\n'
printf '|---|---|---|---|---|---|\n'
printf '| Adding photos (thumbnails) | %s ms | %s ms | GraphicsMagick: %s ms | %s | %s |\n' \
  "$core_import" "$ui_import" "$gm_ms" "$(ratio "$core_import" "$gm_ms")" "$(ratio "$ui_import" "$gm_ms")"
printf '| Make PDF at the defaults | %s ms | %s ms | vipsthumbnail + img2pdf: %s ms | %s | %s |\n' \
  "$core_pdf" "$ui_pdf" "$peer_ms" "$(ratio "$core_pdf" "$peer_ms")" "$(ratio "$ui_pdf" "$peer_ms")"
printf '| Make PDF at Highest | | %s ms | img2pdf, the JPEGs as they are: %s ms | | %s |\n' \
  "$ui_high" "$(ms "$kept_s")" "$(ratio "$ui_high" "$(ms "$kept_s")")"
printf '| Peak memory, add + PDF at the defaults | %s MB | %s MB; with decoders %s MB | %s MB | | |\n' \
  "$core_pdf_mb" "$ui_mb" "$ui_all_mb" "$((peer_pdf_kb / 1024))"
printf '| Peak memory, add + PDF at Highest + password | %s | %s MB; with decoders %s MB (PDF %s MB) | | | |\n' \
  "$high_all" "$ui_high_mb" "$ui_high_all_mb" "$ui_high_pdf"
printf '| Windows Tolvane.exe (x86_64, Wine) | | add %s ms, PDF %s ms | | | add %s, PDF %s |\n' \
  "$exe_import" "$exe_pdf" "$(ratio "$exe_import" "$gm_ms")" "$(ratio "$exe_pdf" "$peer_ms")"
printf '\nTimes are per photo. The peers use every core; the core is one process; the program\n'
printf 'works with two decoder processes. Peer PDF: vipsthumbnail %s ms + img2pdf %s ms.\n' \
  "$(ms "$vt_s")" "$(ms "$i2p_s")"
printf 'Core with a quarter of the photos at Highest + password: %s.\n' "$high_quarter"
printf 'Same output: page pictures at the defaults within %s dB PSNR of a full-size decode\n' "$same_output"
printf 'resampled by FreeImage (lowest over every tenth photo).\n'
printf 'At Highest: img2pdf peak %s MB. The PDF %s\n' "$((kept_kb / 1024))" "$kept_check"

[ -n "$heif" ] || exit 0
# The same jobs on HEIC and on AVIF photos, beside vipsthumbnail, which reads them through
# libheif as Tolvane does.
heif_table() {  # heif_table heic|avif
  local kind=$1 KIND=${1^^} photos nh vh_s vhp_s hi2p_s core ui ui_pdf exe=- exe_pdf=- vh_ms vhp_ms
  photos=("$heif/$kind"/p*."$kind")
  nh=${#photos[@]}
  ((nh > 0)) || { echo "no $kind/p*.$kind photos in $heif" >&2; return 1; }
  rm -rf "$work/vh" "$work/vhp" && mkdir -p "$work/vh" "$work/vhp"
  read -r vh_s _ < <(measure vipsthumbnail -s 96 -o "$work/vh/%s.jpg" "${photos[@]}")
  read -r vhp_s _ < <(measure vipsthumbnail -s 1704 -o "$work/vhp/%s.jpg[Q=75]" "${photos[@]}")
  read -r hi2p_s _ < <(measure img2pdf -o "$work/heif.pdf" "$work"/vhp/*.jpg)
  "$build/import_bench" "$heif/$kind" 1 >"$work/heif-import" 2>&1
  core=$(field 'import (MakeThumbnailPixels):' "$work/heif-import")
  program TOLVANE_BENCH_PHOTOS="$(winpath "$heif/$kind")" TOLVANE_BENCH_FILES="p*.$kind" >/dev/null
  ui=$(field 'Add Images, from OK:' "$work/ui")
  ui_pdf=$(field 'Make PDF, from OK:' "$work/ui")
  if [ -f "$root/dist/x86_64/Tolvane.exe" ]; then
    "$root/tests/ui/run-under-wine.sh" "$build/win" "$work/drive_tolvane.exe" \
      "$(winpath "$root/dist/x86_64/Tolvane.exe")" "$(winpath "$heif/$kind")" \
      "$(printf '"%s" ' "${photos[@]##*/}")" "$nh" "$(winpath "$work/exe-$kind.pdf")" "" >"$work/exe" 2>&1 ||
      { cat "$work/exe" >&2; return 1; }
    exe=$(field 'Add Images, from OK:' "$work/exe")
    exe_pdf=$(field 'Make PDF, from OK:' "$work/exe")
  fi
  vh_ms=$(ms "$vh_s" "$nh"); vhp_ms=$(ms "$(awk -v a="$vhp_s" -v b="$hi2p_s" 'BEGIN { print a + b }')" "$nh")
  printf '\n| Job, %d %s photos | Tolvane core (1 process) | Tolvane program (Wine) | Best peer | core / peer | program / peer |\n' "$nh" "$KIND"
  printf '|---|---|---|---|---|---|\n'
  printf '| Adding %s photos (thumbnails) | %s ms | %s ms | vipsthumbnail (libheif): %s ms | %s | %s |\n' \
    "$KIND" "$core" "$ui" "$vh_ms" "$(ratio "$core" "$vh_ms")" "$(ratio "$ui" "$vh_ms")"
  printf '| Make PDF of %s photos at the defaults | | %s ms | vipsthumbnail (libheif) + img2pdf: %s ms | | %s |\n' \
    "$KIND" "$ui_pdf" "$vhp_ms" "$(ratio "$ui_pdf" "$vhp_ms")"
  printf '| Windows Tolvane.exe (x86_64, Wine) | | add %s ms, PDF %s ms | | | add %s, PDF %s |\n' \
    "$exe" "$exe_pdf" "$(ratio "$exe" "$vh_ms")" "$(ratio "$exe_pdf" "$vhp_ms")"
}
heif_table heic
heif_table avif
