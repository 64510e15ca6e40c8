#!/usr/bin/env bash
# Installs everything the build, the tests and the program need from
# Debian's packages. Idempotent and quiet when all is there.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6printsupport6 libgl-dev
  firebird3.0-server-core libfbclient2 firebird3.0-utils firebird-dev
  libicu-dev libcurl4-openssl-dev libssl-dev libjpeg-dev libzip-dev liblhasa-dev
  googletest libgtest-dev libgmock-dev
  fonts-ipafont libxml2-utils
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
