#!/usr/bin/env bash
# fuzz/run.sh SECONDS [BUILD_DIR]
# Builds the fuzz target with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs it for SECONDS on one core, starting from the committed seeds in fuzz/corpus.
# New inputs go to BUILD_DIR/corpus (kept between runs, not committed); a crash leaves
# its input in BUILD_DIR and makes the script fail.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:?usage: fuzz/run.sh SECONDS [BUILD_DIR]}
out=${2:-build/fuzz}
scripts/install-deps.sh fuzz
mkdir -p "$out/corpus"
sources=(src/picture/header_size.cpp src/picture/exr_header.cpp src/picture/exif_reader.cpp
         src/picture/jpeg_segments.cpp src/decoder/protocol.cpp)
binary="$out/decoder_input_fuzzer"
if [ ! -x "$binary" ] || [ -n "$(find fuzz/*.cpp "${sources[@]}" src/picture/*.h src/decoder/*.h -newer "$binary")" ]; then
  clang++ -std=c++17 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all \
    -Isrc -Icmake/nowindows fuzz/decoder_input_fuzzer.cpp "${sources[@]}" -o "$binary"
fi
# One job on one core; a slow input (over 5 s) or 1 GB of memory counts as a finding.
"$binary" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=1024 -max_len=65536 \
  -print_final_stats=1 -artifact_prefix="$out/" "$out/corpus" fuzz/corpus
