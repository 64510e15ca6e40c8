#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo installation (once) and
# starts the converter wizard on it.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
bash "$root/scripts/setup-deps.sh"
bash "$root/scripts/build.sh"
build="${ZR_BUILD_DIR:-$root/build}"
exec "$build/src/app/main/zorute_rendo" "$@"
