#!/usr/bin/env bash
# Runs a real-window test program under a private Xvfb server, large enough for the editor's
# biggest window (the server picks a free display number). Exits 77, which ctest reports as
# skipped, when Xvfb or xdotool (the tests' mouse and keyboard) is not installed.
set -u
for program in Xvfb xdotool; do
  if ! command -v "$program" >/dev/null 2>&1; then
    echo "$program is not installed: real-window tests skipped"
    exit 77
  fi
done
tmp=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 2048x1200x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
pid=$!
cleanup() {
  kill "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  rm -rf "$tmp"
}
trap cleanup EXIT
for _ in $(seq 1 200); do
  [ -s "$tmp/display" ] && break
  sleep 0.05
done
if [ ! -s "$tmp/display" ]; then
  echo "Xvfb did not start:"
  cat "$tmp/xvfb.log"
  exit 1
fi
export DISPLAY=":$(head -n1 "$tmp/display")"
"$@"
