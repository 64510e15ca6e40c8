#!/usr/bin/env bash
# Makes the initial data files from which new data sets are created: a data
# database built from sql/data, backed up with gbak once per data kind
# (acc11.gbk, acc21.gbk, acc22.gbk, acc23.gbk, acc24.gbk, acc31.gbk).
#
#   scripts/make-initdata.sh <output-folder>
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
out="${1:?output folder}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
gbak="$(command -v gbak || true)"
[ -n "$gbak" ] || { echo "make-initdata: gbak not found" >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/zr-initdata.XXXXXX")"
trap 'rm -rf "$work"' EXIT

bash "$root/scripts/check-schema.sh" "$work/db" >/dev/null
bash "$root/scripts/firebird-root.sh" "$work/fbroot"
export FIREBIRD="$work/fbroot" FIREBIRD_LOCK="$work/fbroot/lock"
unset ISC_USER ISC_PASSWORD

# The kit holds no kind-specific rows yet, so every kind starts from the same
# database; the files stay separate because data creation picks one by kind.
"$gbak" -b -g "$work/db/tvacc.fdb" "$work/acc.gbk"
for kind in 11 21 22 23 24 31; do
  cp "$work/acc.gbk" "$out/acc$kind.gbk.tmp"
  mv "$out/acc$kind.gbk.tmp" "$out/acc$kind.gbk"
done
