#!/usr/bin/env bash
# Builds the system, data and file-manager databases from sql/ with the embedded
# engine and fails on any statement error.
#
#   scripts/check-schema.sh [output-folder]
#
# Without an argument the databases go to a temporary folder that is removed at
# the end; with one they are kept there (tvaccdef.fdb, tvacc.fdb, tvfileman.fdb).
# The SQL files are UTF-8 in the tree; each is converted to CP932 before isql
# reads it, because the attachment character set is SJIS_0208.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
sqldir="$root/sql"
fbsrc="${FIREBIRD_SOURCE:-/usr/lib/x86_64-linux-gnu/firebird/3.0}"
isql="$(command -v isql-fb || command -v isql || true)"
if [ -z "$isql" ]; then
  echo "check-schema: isql-fb not found" >&2
  exit 2
fi

work="$(mktemp -d "${TMPDIR:-/tmp}/zr-schema.XXXXXX")"
cleanup() { rm -rf "$work"; }
trap cleanup EXIT

out="${1:-$work/db}"
mkdir -p "$out"
out="$(cd "$out" && pwd)"

# A private engine root: real files, not symbolic links (links would load the
# engine without its character sets); hard links where the file system allows,
# copies otherwise. SuperClassic lets other processes attach to the same files.
fbroot="$work/fbroot"
mkdir -p "$fbroot" "$work/lock"
if ! cp -rlL "$fbsrc/." "$fbroot/" 2>/dev/null; then
  rm -rf "$fbroot"
  mkdir -p "$fbroot"
  cp -rL "$fbsrc/." "$fbroot/"
fi
# Replace, never write through, the (possibly hard-linked) configuration.
rm -f "$fbroot/firebird.conf"
cat >"$fbroot/firebird.conf" <<'EOF2'
ServerMode = SuperClassic
Providers = Engine12
EOF2
export FIREBIRD="$fbroot"
export FIREBIRD_LOCK="$work/lock"
unset ISC_USER ISC_PASSWORD

failed=0

# One isql run per database: the CREATE DATABASE line followed by every file
# of the folder in name order, each converted to CP932. (isql refuses
# CREATE DATABASE with USER/PASSWORD under -ch SJIS_0208, so none is given;
# the embedded engine does not need them.)
build_db() { # $1 folder under sql/, $2 database file name
  local kind="$1" db="$out/$2"
  local script="$work/$kind.sql" map="$work/$kind.map" log="$work/$kind.log"
  rm -f "$db"
  printf "CREATE DATABASE '%s' PAGE_SIZE 8192 DEFAULT CHARACTER SET SJIS_0208;\n" "$db" >"$script"
  : >"$map"
  local f line
  for f in "$sqldir/$kind"/*.sql; do
    [ -e "$f" ] || continue
    line=$(( $(wc -l <"$script") + 1 ))
    echo "$line $kind/$(basename "$f")" >>"$map"
    if ! iconv -f UTF-8 -t CP932 "$f" >>"$script"; then
      echo "check-schema: $f is not CP932-encodable" >&2
      failed=1
      return
    fi
    printf "\n" >>"$script"
  done
  local rc=0
  "$isql" -q -ch SJIS_0208 -i "$script" >"$log" 2>&1 || rc=$?
  if [ "$rc" -ne 0 ] || grep -q "Statement failed\|SQLSTATE" "$log"; then
    echo "check-schema: building $2 failed (isql exit $rc):" >&2
    iconv -f CP932 -t UTF-8 "$log" >&2 || cat "$log" >&2
    echo "check-schema: file start lines in the combined script:" >&2
    cat "$map" >&2
    failed=1
  fi
}

build_db system tvaccdef.fdb
build_db data tvacc.fdb
build_db fileman tvfileman.fdb

if [ "$failed" -ne 0 ]; then
  exit 1
fi
echo "check-schema: all databases built in $out"
