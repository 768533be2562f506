#!/usr/bin/env bash
# fuzz/run.sh SECONDS [BUILD_DIR]   explores: runs for SECONDS on one core
# fuzz/run.sh check [BUILD_DIR]      the test's run: the same every time
# Builds the fuzz target with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs it on one core, starting from the committed seeds in fuzz/corpus.
# libheif and its decoders come from their Debian sources, built once with the
# AddressSanitizer and the fuzzer's coverage (fuzz/build-heif-libs.sh, a few minutes).
# Exploring, new inputs go to BUILD_DIR/corpus (kept between runs, not committed). The
# check runs every committed input, then a fixed number of mutations from a fixed seed
# with nothing kept from earlier runs, so that it finds the same on every machine. A
# finding leaves its input in BUILD_DIR and makes the script fail; committed to
# fuzz/corpus once mended, it is run by every check after.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:?usage: fuzz/run.sh SECONDS|check [BUILD_DIR]}
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
# One job on one core; a slow input (over 5 s) counts as a finding, and so does memory
# past what a decoder process may take (1.5 GB), where an allocation fails, as it does there.
run() {
  ASAN_OPTIONS=allocator_may_return_null=1:max_allocation_size_mb=1536 \
  LSAN_OPTIONS=suppressions=fuzz/leaks.supp "$binary" -timeout=5 -rss_limit_mb=1536 -malloc_limit_mb=1536 -max_len=65536 \
    -print_final_stats=1 -artifact_prefix="$out/" "$@"
}
if [ "$mode" = check ]; then
  run fuzz/corpus/*
  fresh=$(mktemp -d)
  trap 'rm -rf "$fresh"' EXIT
  run -seed=1 -runs=60000 "$fresh" fuzz/corpus
else
  run -max_total_time="$mode" "$out/corpus" fuzz/corpus
fi
