#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the program and the tests need.
# Idempotent: apt is only asked when a package is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config libsqlite3-dev
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libgl-dev
  libcurl4-openssl-dev libssl-dev openssl ca-certificates zlib1g-dev
  libcpp-httplib-dev libgtest-dev
  xvfb xauth fonts-dejavu-core fonts-dejavu-extra fonts-wine sqlite3 trustedqsl
  xdotool libxcb1-dev
  dpkg-dev file lintian desktop-file-utils appstream librsvg2-bin bash-completion man-db
  debootstrap curl time
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
