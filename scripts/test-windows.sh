#!/usr/bin/env bash
# The Windows test command: installs the cross tools, builds Skarvel for 64-bit Windows with
# MinGW-w64 into ./build-windows, and runs the Windows tests under wine with ctest.
# Wine runs headless in a private prefix under /tmp that is started once before the build
# (GoogleTest lists the tests of each program through wine while building) and stopped after.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows

export WINEPREFIX="${SKARVEL_WINEPREFIX:-/tmp/skarvel-wine-$(id -u)}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko download prompts: the tests need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
export SKARVEL_NO_DIALOGS=1
unset DISPLAY WAYLAND_DISPLAY

mkdir -p "$WINEPREFIX"
# wine's background services must not hold the output pipe: start them once with their output
# discarded, keep the server running for the whole run, and stop it on the way out.
wineserver -p
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT
wine wineboot -i >/dev/null 2>&1 </dev/null

# A Linux build beside it (scripts/build.sh) gives the reference render and the pictures.
linux_build=()
[ -d build/bundle/Skarvel ] && linux_build=(-DSKARVEL_LINUX_BUILD_DIR="$PWD/build")
cmake -S . -B build-windows -G Ninja --toolchain cmake/toolchain-mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  "${linux_build[@]}" "$@" >/dev/null
cmake --build build-windows --parallel "$(nproc)"
ctest --test-dir build-windows --output-on-failure --parallel "$(nproc)" --timeout 300
