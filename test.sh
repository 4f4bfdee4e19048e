#!/usr/bin/env bash
# Installs what is missing (as root), builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")"

source tools/pakete.sh
installiere_pakete "${PAKETE[@]}"

BUILD=${BUILD_DIR:-build}
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$BUILD" -j"$(nproc)"
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "$BUILD" --output-on-failure -j"$(nproc)"
