#!/usr/bin/env bash
# Runs one libFuzzer target against its corpus for a while:
#   scripts/fuzz.sh TARGET SECONDS        (TARGET: the name of fuzz/TARGET_fuzz.cpp, e.g. flac_read)
# Builds the target in build-fuzz/ with clang. Inputs that widen coverage collect in
# build-fuzz/corpus/TARGET/; an input that crashes is saved into fuzz/corpus/TARGET/ as crash-<hash>,
# where the test run replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
usage="usage: scripts/fuzz.sh TARGET SECONDS"
target=${1:?$usage}
seconds=${2:?$usage}
[ -f "fuzz/${target}_fuzz.cpp" ] || { echo "no fuzz target fuzz/${target}_fuzz.cpp" >&2; exit 2; }

cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang -DCANTORIX_FUZZ=ON >/dev/null
cmake --build build-fuzz -j2 --target "${target}_fuzz"

seeds="fuzz/corpus/${target}"
work="build-fuzz/corpus/${target}"
mkdir -p "$seeds" "$work"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
exec "build-fuzz/fuzz/${target}_fuzz" "$work" "$seeds" \
  -max_total_time="$seconds" -max_len=16384 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix="$seeds/" -print_final_stats=1
