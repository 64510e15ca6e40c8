#!/usr/bin/env bash
# Makes the demo installation in $1 (default ./demo) from the schema kit:
# product information, key store, suite settings, system database with the
# system user (code 1, empty password) and three company data sets holding
# fixed assets of every depreciation method.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${ZR_BUILD_DIR:-$root/build}"
demo="${1:-$root/demo}"
"$build/src/app/main/zr_make_demo" "$demo" "$root/sql"
