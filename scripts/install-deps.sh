#!/usr/bin/env bash
# Installs what building and testing Skarvel needs on Debian 12 (run as root, or with sudo).
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libyaml-dev libsndfile1-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcairo2-dev libx11-dev libxcb1-dev libfontconfig-dev libfreetype-dev fonts-dejavu-core
  fonts-dejavu-extra
  xvfb xauth xdotool x11-utils
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
