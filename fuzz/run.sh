#!/usr/bin/env bash
# fuzz/run.sh SECONDS [BUILD_DIR]
# Builds the fuzz target with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs it for SECONDS on one core, starting from the committed seeds in fuzz/corpus.
# libheif and its decoders come from their Debian sources, built once with the
# AddressSanitizer and the fuzzer's coverage (fuzz/build-heif-libs.sh, a few minutes).
# New inputs go to BUILD_DIR/corpus (kept between runs, not committed); a crash leaves
# its input in BUILD_DIR and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh SECONDS [BUILD_DIR]}
out=${2:-build/fuzz}
scripts/install-deps.sh fuzz
mkdir -p "$out/corpus"
sources=(src/picture/header_size.cpp src/picture/exr_header.cpp src/picture/exif_reader.cpp
         src/picture/jpeg_segments.cpp src/decoder/protocol.cpp src/picture/heif_boxes.cpp
         src/picture/heif_picture.cpp src/picture/heif_owner.cpp)
heif=$out/heif-libs
if [ ! -f "$heif/.built" ]; then
  scripts/windows/fetch-sources.sh build/windows/sources libde265 dav1d libheif
  echo "fuzz: building libheif, libde265 and dav1d with the sanitizer (once)"
  fuzz/build-heif-libs.sh build/windows/sources "$heif"
fi
binary="$out/decoder_input_fuzzer"
if [ ! -x "$binary" ] || [ -n "$(find fuzz/*.cpp "${sources[@]}" src/picture/*.h src/decoder/*.h "$heif/.built" -newer "$binary")" ]; then
  clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -Isrc -Icmake/nowindows -I"$heif/include" fuzz/decoder_input_fuzzer.cpp "${sources[@]}" \
    "$heif/lib/libheif.a" "$heif/lib/libde265.a" "$heif/lib/libdav1d.a" -lpthread -ldl -o "$binary"
fi
# One job on one core; a slow input (over 5 s) or 1 GB of memory counts as a finding.
LSAN_OPTIONS=suppressions=fuzz/leaks.supp "$binary" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -max_len=65536 \
  -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus" fuzz/corpus
