#!/usr/bin/env bash
# Configures (once) and builds the tree into build/ (or $ZR_BUILD_DIR).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZR_BUILD_DIR:-$root/build}"
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
fi
# A header that gains Q_OBJECT after the first configure is sometimes missed
# by the incremental moc scan; one clean rescan fixes that.
if ! cmake --build "$build" "$@"; then
  echo "Build failed; rescanning moc inputs and retrying once" >&2
  rm -rf "$build"/*_autogen "$build"/tests/*_autogen "$build"/src/*/*_autogen "$build"/src/app/main/*_autogen
  cmake --build "$build" "$@"
fi
