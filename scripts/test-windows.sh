#!/usr/bin/env bash
# The Windows test command: installs the cross tools, builds Skarvel for 64-bit Windows with
# MinGW-w64 into ./build-windows, and runs the Windows tests under wine with ctest.
# Wine runs in a private prefix under /tmp, on a private Xvfb display when there is one, started
# once before the build (GoogleTest lists the tests of each program through wine while
# building) and stopped after.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --windows

export WINEPREFIX="${SKARVEL_WINEPREFIX:-/tmp/skarvel-wine-$(id -u)}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko download prompts: the tests need neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
export SKARVEL_NO_DIALOGS=1
unset WAYLAND_DISPLAY

# wine makes windows only on a display: a private Xvfb gives the window tests one (without it
# they are skipped). Nothing is shown on the user's own screen.
xvfb_pid=""
stop() {
  wineserver -k >/dev/null 2>&1 || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  [ -n "${xvfb_dir:-}" ] && rm -rf "$xvfb_dir"
  return 0
}
trap stop EXIT
unset DISPLAY
if command -v Xvfb >/dev/null 2>&1; then
  xvfb_dir=$(mktemp -d)
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$xvfb_dir/display" 2>"$xvfb_dir/log" &
  xvfb_pid=$!
  for _ in $(seq 1 200); do
    [ -s "$xvfb_dir/display" ] && break
    sleep 0.05
  done
  [ -s "$xvfb_dir/display" ] && export DISPLAY=":$(head -n1 "$xvfb_dir/display")"
fi

mkdir -p "$WINEPREFIX"
# wine's background services must not hold the output pipe: start them once with their output
# discarded, keep the server running for the whole run, and stop it on the way out.
wineserver -p >/dev/null 2>&1 </dev/null
wine wineboot -i >/dev/null 2>&1 </dev/null

# A Linux build beside it (scripts/build.sh) gives the reference render and the pictures.
linux_build=()
[ -d build/bundle/Skarvel ] && linux_build=(-DSKARVEL_LINUX_BUILD_DIR="$PWD/build")
cmake -S . -B build-windows -G Ninja --toolchain cmake/toolchain-mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
  "${linux_build[@]}" "$@" >/dev/null
cmake --build build-windows --parallel "$(nproc)"
ctest --test-dir build-windows --output-on-failure --parallel "$(nproc)" --timeout 300
