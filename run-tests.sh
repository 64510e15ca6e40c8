#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
bash "$root/scripts/setup-deps.sh"
bash "$root/scripts/build.sh"
build="${ZR_BUILD_DIR:-$root/build}"
cd "$build"
export QT_QPA_PLATFORM=offscreen
ctest --output-on-failure -j"$(nproc)" "$@"
