#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, when missing.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config minisign libsodium-dev
  qt6-base-dev qt6-charts-dev libqt6opengl6-dev
  libcurl4-openssl-dev libssl-dev libpugixml-dev python3-spyne python3-lxml
  libgtest-dev libgmock-dev libcpp-httplib-dev libbenchmark-dev tinyproxy nginx-light
  xvfb xauth clang-format-14 clang-tidy-14 clang-14
  librsvg2-bin dpkg-dev file lintian desktop-file-utils man-db
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
