#!/usr/bin/env bash
# Builds Cantorix into build/ (installing what is missing) and starts it, on FOLDER when given.
#   ./run.sh [FOLDER]
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
cantorix_install "${CANTORIX_PACKAGES[@]}"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCANTORIX_TESTS=OFF
cmake --build build --target cantorix cantorix-cli
exec ./build/cantorix "$@"
