#!/usr/bin/env bash
# Builds the libFuzzer target for the host-chunk preset reader with clang (address and
# undefined-behaviour sanitizers) and runs it on the seed corpus. An input that takes longer
# than a second counts as a fault (a timeout-* artifact): inputs may be a little larger than the
# reader's 64 KiB document limit, where quadratic work would take many seconds.
#   scripts/fuzz-presets.sh [seconds=600] [jobs=1]
# New interesting inputs collect in build-fuzz/corpus; crashes land in build-fuzz/ as crash-*.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-600}"
jobs="${2:-1}"
cxx="${CXX_FUZZ:-$(command -v clang++-14 || command -v clang++)}"
out=build-fuzz
mkdir -p "$out/corpus"

sources=(
  tests/presets/fuzz/PresetChunkFuzzer.cpp tests/presets/fuzz/PresetChunkFuzzTarget.cpp
  Frameworks/PresetManager/*.cpp Frameworks/Core/Assert.cpp Frameworks/Core/Parameters.cpp
  platform/DataFolders.cpp platform/FileSystem.cpp platform/FileSystemNames.cpp platform/FolderWalk.cpp platform/ModulePath.cpp
  platform/Notice.cpp platform/NoticeWindow.cpp platform/ProductNames.cpp platform/TextCollation.cpp platform/Utf8.cpp
)
"$cxx" -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I. $(pkg-config --cflags yaml-0.1) "${sources[@]}" $(pkg-config --libs yaml-0.1) -ldl \
  -o "$out/preset_chunk_fuzzer"

export SKARVEL_NO_DIALOGS=1
parallel=()
[ "$jobs" -gt 1 ] && parallel=(-jobs="$jobs" -workers="$jobs")
# Run inside the output folder, where libFuzzer also writes its per-job logs.
cd "$out"
./preset_chunk_fuzzer corpus ../tests/presets/fuzz/corpus \
  -max_total_time="$seconds" -max_len=66000 -timeout=1 "${parallel[@]}" \
  -artifact_prefix=./ -print_final_stats=1
