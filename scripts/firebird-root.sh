#!/usr/bin/env bash
# Makes a Firebird root of our own in $1 (default build/fbroot): real copies
# of the client library's folder (links followed: the character sets do not
# load through links), a firebird.conf that lets several processes share a
# database file, and a lock folder. Select it with
#   FIREBIRD=<root> FIREBIRD_LOCK=<root>/lock
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dest="${1:-$root/build/fbroot}"
src="${ZR_FIREBIRD_SOURCE:-/usr/lib/x86_64-linux-gnu/firebird/3.0}"
conf='# Embedded engine shared by several processes (program, isql, gbak).
ServerMode = SuperClassic
Providers = Remote, Engine12, Loopback'
engine="$src/plugins/libEngine12.so"
[ -f "$engine" ] || { echo "no Firebird engine under $src" >&2; exit 1; }
stamp="$(stat -c '%s' "$engine"):$(stat -c '%Y' "$engine")"
if [ -f "$dest/.stamp" ] && [ "$(cat "$dest/.stamp")" = "$stamp" ] \
   && [ -f "$dest/intl/libfbintl.so" ] && [ -d "$dest/lock" ]; then
  exit 0
fi
mkdir -p "$dest"
for item in "$src"/*; do
  name="$(basename "$item")"
  case "$name" in include|lib|firebird.conf) continue ;; esac
  rm -rf "${dest:?}/$name"
  cp -rL "$item" "$dest/$name"
done
printf '%s\n' "$conf" > "$dest/firebird.conf"
mkdir -p "$dest/lock"
printf '%s' "$stamp" > "$dest/.stamp"
