#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs one of them for SECONDS against its
# saved corpus in fuzz/corpus/TARGET/. Inputs that widen coverage go to build-fuzz/corpus/TARGET/ (the
# saved corpus stays small); an input that crashes is saved as fuzz/corpus/TARGET/crash-<hash>, where
# every test run replays it once the fault is fixed.
#   scripts/fuzz.sh TARGET SECONDS        (TARGET: the name of fuzz/TARGET_fuzz.cpp: audioinfo, id3v2, flac_read, ...)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -ne 2 ] || ! [[ $2 =~ ^[0-9]+$ ]]; then
  echo "usage: scripts/fuzz.sh TARGET SECONDS" >&2
  exit 2
fi
target=$1
seconds=$2
if [ ! -f "fuzz/${target}_fuzz.cpp" ]; then
  echo "scripts/fuzz.sh: no fuzz target \"$target\" (fuzz/${target}_fuzz.cpp)" >&2
  exit 2
fi
cc=$(command -v clang || command -v clang-14 || true)
cxx=$(command -v clang++ || command -v clang++-14 || true)
if [ -z "$cc" ] || [ -z "$cxx" ]; then
  echo "scripts/fuzz.sh: clang is not installed" >&2
  exit 1
fi

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER="$cc" -DCMAKE_CXX_COMPILER="$cxx" -DCANTORIX_FUZZ=ON >/dev/null
cmake --build build-fuzz -j2 --target "${target}_fuzz"

saved=fuzz/corpus/$target
work=build-fuzz/corpus/$target
mkdir -p "$saved" "$work"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
exec ./build-fuzz/fuzz/"${target}_fuzz" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
  -max_len=16384 -print_final_stats=1 -artifact_prefix="$saved/crash-" "$work" "$saved"
