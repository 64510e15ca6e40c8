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

# A private engine root: real copies of the engine files (links would load the
# engine without its character sets) and SuperClassic so that other processes
# may attach to the same files.
fbroot="$work/fbroot"
mkdir -p "$fbroot" "$work/lock"
cp -rL "$fbsrc/." "$fbroot/"
cat >"$fbroot/firebird.conf" <<'EOF'
ServerMode = SuperClassic
Providers = Engine12
EOF
export FIREBIRD="$fbroot"
export FIREBIRD_LOCK="$work/lock"
unset ISC_USER ISC_PASSWORD

failed=0

run_isql() { # $1 database, $2 script (CP932), $3 log
  local rc=0
  "$isql" -q -ch SJIS_0208 -user SYSDBA -password x "$1" -i "$2" >"$3" 2>&1 || rc=$?
  if [ "$rc" -ne 0 ] || grep -q "Statement failed\|^Statement failed\|SQLSTATE" "$3"; then
    return 1
  fi
  return 0
}

build_db() { # $1 kind folder under sql/, $2 database file name
  local kind="$1" db="$out/$2"
  rm -f "$db"
  local create="$work/create-$kind.sql"
  printf "CREATE DATABASE '%s' USER 'SYSDBA' PASSWORD 'x' PAGE_SIZE 8192 DEFAULT CHARACTER SET SJIS_0208;\nCOMMIT;\n" "$db" >"$create"
  # Created without an attachment character set: isql refuses CREATE DATABASE
  # with USER/PASSWORD under -ch SJIS_0208 ("string right truncation").
  if ! "$isql" -q -i "$create" >"$work/create-$kind.log" 2>&1; then
    echo "check-schema: cannot create $db" >&2
    cat "$work/create-$kind.log" >&2
    failed=1
    return
  fi
  local f
  for f in "$sqldir/$kind"/*.sql; do
    [ -e "$f" ] || continue
    local conv="$work/$(basename "$f").cp932"
    if ! iconv -f UTF-8 -t CP932 "$f" >"$conv"; then
      echo "check-schema: $f is not CP932-encodable" >&2
      failed=1
      continue
    fi
    local log="$work/$kind-$(basename "$f").log"
    if ! run_isql "$db" "$conv" "$log"; then
      echo "check-schema: $kind/$(basename "$f") failed:" >&2
      iconv -f CP932 -t UTF-8 "$log" >&2 || cat "$log" >&2
      failed=1
    fi
  done
}

build_db system tvaccdef.fdb
build_db data tvacc.fdb
build_db fileman tvfileman.fdb

if [ "$failed" -ne 0 ]; then
  exit 1
fi
echo "check-schema: all databases built in $out"
