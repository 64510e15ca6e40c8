#!/usr/bin/env bash
# Installs what is missing, builds, makes the demo installation (once) and
# starts the converter wizard on it. ZR_DEMO_DIR chooses the demo folder
# (default ./demo); arguments go to the program (the caller protocol).
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
bash "$root/scripts/setup-deps.sh"
bash "$root/scripts/build.sh"
build="${ZR_BUILD_DIR:-$root/build}"
demo="${ZR_DEMO_DIR:-$root/demo}"
if [ ! -f "$demo/common/brevan/tavrinzaimu/data/tvaccdef.fdb" ]; then
  bash "$root/scripts/make-demo.sh" "$demo"
fi
export ZR_EXE_DIR="$demo/bin"
export ZR_REGISTRY_DIR="$demo/registry"
export ZR_COMMON_APPDATA="$demo/common"
export ZR_DOCUMENTS="$demo/docs"
exec "$build/src/app/main/zorute_rendo" "$@"
