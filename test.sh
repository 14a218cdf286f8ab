#!/usr/bin/env bash
# Builds Cantorix with AddressSanitizer and UndefinedBehaviorSanitizer into build-test/ (installing what
# is missing) and runs every test through ctest, windows offscreen.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
cantorix_install "${CANTORIX_PACKAGES[@]}" "${CANTORIX_TEST_PACKAGES[@]}"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCANTORIX_SANITIZE=ON -DCANTORIX_TESTS=ON
cmake --build build-test
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build-test --output-on-failure -j"$(nproc)" --timeout 300
