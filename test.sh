#!/usr/bin/env bash
# Builds Cantorix with AddressSanitizer and UndefinedBehaviorSanitizer into build-test/ (installing what
# is missing) and runs every test through ctest, windows offscreen; then builds the Debian package from
# an optimised build in build-package/ and checks it (scripts/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
cantorix_install "${CANTORIX_PACKAGES[@]}" "${CANTORIX_TEST_PACKAGES[@]}" "${CANTORIX_PACKAGE_CHECK_PACKAGES[@]}"
cmake -S . -B build-test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCANTORIX_SANITIZE=ON -DCANTORIX_TESTS=ON
cmake --build build-test
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$PWD/tests/support/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-test --output-on-failure -j"$(nproc)" --timeout 300
scripts/check-package.sh
