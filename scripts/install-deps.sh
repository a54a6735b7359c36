#!/usr/bin/env bash
# Installs what building and testing Skarvel needs on Debian 12 (run as root, or with sudo).
# Quiet and quick when everything is already there. With --windows it also installs the
# Windows cross build's tools (MinGW-w64, wine) and the source-package entry that
# `apt-get source libyaml` needs.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config git
  libyaml-dev libsndfile1-dev libebur128-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  libcairo2-dev libx11-dev libxcb1-dev libfontconfig-dev libfreetype-dev fonts-dejavu-core
  fonts-dejavu-extra
  xvfb xauth xdotool x11-utils
  locales
)
windows_sources=/etc/apt/sources.list.d/skarvel-deb-src.sources
if [ "${1:-}" = "--windows" ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine wine64 dpkg-dev)
fi

# Source packages come from the same archive as the binary ones: the system's own Debian entry
# is copied as a deb-src entry (its security suite has no sources, so it is left out). Both the
# deb822 file of current images and the classic one-line list are understood.
add_windows_sources() {
  [ "${1:-}" = "--windows" ] || return 1
  [ -e "$windows_sources" ] || [ -e "${windows_sources%.sources}.list" ] && return 1
  if [ -e /etc/apt/sources.list.d/debian.sources ]; then
    awk 'BEGIN { RS = ""; ORS = "\n\n" } !/-security/ { sub(/Types: deb\n/, "Types: deb-src\n"); print }' \
      /etc/apt/sources.list.d/debian.sources | $sudo tee "$windows_sources" >/dev/null
  elif [ -e /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
    grep '^deb ' /etc/apt/sources.list | grep -v -- '-security' | sed 's/^deb /deb-src /' |
      $sudo tee "${windows_sources%.sources}.list" >/dev/null
  else
    return 1
  fi
}

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
# A decimal-comma locale, so the tests can prove numbers never follow the process locale.
need_locale=0
locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$' || need_locale=1
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if add_windows_sources "${1:-}"; then
  $sudo apt-get update -qq
fi
[ ${#missing[@]} -eq 0 ] && [ $need_locale -eq 0 ] && exit 0

export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
if ! locale -a 2>/dev/null | grep -qi '^de_DE.utf-\?8$'; then
  $sudo localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
