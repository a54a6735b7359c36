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
  locales
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
# A decimal-comma locale, so the tests can prove numbers never follow the process locale.
need_locale=0
locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$' || need_locale=1
[ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$'; then
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
