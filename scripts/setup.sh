#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build, the tests and the package need,
# only those that are missing.
# Quiet when everything is already there.
set -euo pipefail

PACKAGES=(
  g++ cmake make pkg-config ccache
  qt6-base-dev libsqlite3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk fonts-arphic-uming xvfb xauth
  qt6-translations-l10n
  dpkg-dev file lintian desktop-file-utils appstream
  unicode-data
  clang-format
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "setup: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  SUDO="sudo"
fi
echo "setup: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
