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
# The stamp names the demo's layout; a demo made by an older layout is made anew.
stamp="demo-2"
if [ ! -f "$demo/common/brevan/tavrinzaimu/data/tvaccdef.fdb" ] || [ "$(cat "$demo/.stamp" 2>/dev/null)" != "$stamp" ]; then
  rm -rf "$demo"
  bash "$root/scripts/make-demo.sh" "$demo"
  printf '%s' "$stamp" > "$demo/.stamp"
fi
export ZR_EXE_DIR="$demo/bin"
export ZR_REGISTRY_DIR="$demo/registry"
export ZR_COMMON_APPDATA="$demo/common"
export ZR_DOCUMENTS="$demo/docs"
exec "$build/src/app/main/zorute_rendo" "$@"
