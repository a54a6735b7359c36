#!/usr/bin/env bash
# A check of the LV2 plug-in and its editor in a real host, by hand (not part of CI): jalv.gtk3
# runs the built bundle under a private Xvfb with a window manager and a JACK server on its
# dummy driver, and xdotool plays the musician:
#
#   1. the editor opens inside jalv's window and draws (a screenshot with many colours);
#   2. a drag on the "level" knob moves jalv's control: jalv's own saved state holds the new
#      port value, and the plug-in's state holds the same value;
#   3. the size control's "+" grows the host's window to the next of the six sizes;
#   4. jalv started from a factory preset shows it, and jalv reloading the saved state restores
#      the knob's value.
#
#   apt-get install --no-install-recommends jalv jackd2 openbox xvfb xdotool x11-utils imagemagick
#   scripts/check-jalv.sh [BUNDLE]        # BUNDLE defaults to build/bundle/Skarvel.lv2
#
# Screenshots are kept in build/lv2-check/. Exits non-zero at the first step that fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bundle="$(realpath "${1:-build/bundle/Skarvel.lv2}")"
uri="https://www.brenmoor.example/plugins/skarvel"
out="$PWD/build/lv2-check"
mkdir -p "$out"
work="$(mktemp -d)"
pids=()
cleanup() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    for _ in $(seq 1 20); do kill -0 "${pids[i]}" 2>/dev/null || break; sleep 0.1; done
    kill -9 "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-jalv: FAILED: $*" >&2; exit 1; }
for program in jalv.gtk3 jackd Xvfb openbox xdotool xwininfo import convert; do
  command -v "$program" >/dev/null || fail "$program is not installed (see the top of this script)"
done
[ -f "$bundle/Skarvel.so" ] || fail "no bundle at $bundle (build it first)"

Xvfb -displayfd 3 -screen 0 2048x1400x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 1 100); do [ -s "$work/display" ] && break; sleep 0.05; done
export DISPLAY=":$(head -n1 "$work/display")"
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
export JACK_DEFAULT_SERVER="skarvel-check-$$" JACK_NO_AUDIO_RESERVATION=1
jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 512 >"$work/jack.log" 2>&1 &
pids+=($!)
sleep 1

mkdir -p "$work/lv2" "$work/config"
ln -s "$bundle" "$work/lv2/Skarvel.lv2"
export LV2_PATH="$work/lv2:/usr/lib/lv2" XDG_CONFIG_HOME="$work/config" SKARVEL_NO_DIALOGS=1
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1

jalv_pid=""
# Starts jalv.gtk3 with the given options and waits for its window at the screen's corner.
start_jalv() {
  jalv.gtk3 "$@" >"$work/jalv.log" 2>&1 &
  jalv_pid=$!
  pids+=("$jalv_pid")
  window=""
  for _ in $(seq 1 100); do
    window="$(xdotool search --name "Skarvel by Brenmoor" 2>/dev/null | head -n1 || true)"
    [ -n "$window" ] && break
    sleep 0.1
  done
  [ -n "$window" ] || fail "jalv shows no window (see $work/jalv.log)"
  xdotool windowmove "$window" 0 0
  sleep 1.5
}
stop_jalv() {
  xdotool windowactivate --sync "$window" key ctrl+q 2>/dev/null || true
  for _ in $(seq 1 30); do kill -0 "$jalv_pid" 2>/dev/null || break; sleep 0.1; done
  kill "$jalv_pid" 2>/dev/null || true
  sleep 0.5
  kill -9 "$jalv_pid" 2>/dev/null || true
  wait "$jalv_pid" 2>/dev/null || true
}
# The editor's own window: the innermost window of the given size, as "X Y" on the screen.
editor_at() {
  xwininfo -root -tree | awk -v size=" $1+0+0 " 'index($0, size) { split($NF, p, "+"); x = p[2]; y = p[3] } END { if (x != "") print x, y }'
}
# Saves jalv's state into a folder through its File menu (Ctrl+S opens the folder dialog).
save_state() {
  xdotool windowactivate --sync "$window" key ctrl+s
  sleep 1.5
  xdotool type --delay 15 "$1"
  sleep 0.5
  # The dialog's completion may swallow the first Return.
  for attempt in 1 2 3; do
    xdotool key Return
    for _ in $(seq 1 20); do [ -f "$1/state.ttl" ] && break 2; sleep 0.1; done
  done
  if [ ! -f "$1/state.ttl" ]; then
    import -window root "$out/jalv-save-failed.png"
    fail "jalv saved no state into $1 (screen: $out/jalv-save-failed.png)"
  fi
}
# The Level control as jalv saved it, and Level in the plug-in's own document.
port_level() { grep -A2 'lv2:symbol "Level"' "$1/state.ttl" | sed -n 's/.*pset:value \([-0-9.e]*\).*/\1/p' | head -n1; }
document_level() { grep -o 'Level: [-0-9.e]*' "$1/state.ttl" | head -n1 | cut -d' ' -f2; }

# 1. The editor opens and draws.
start_jalv "$uri"
read -r ex ey < <(editor_at 862x419) || fail "no editor window of 862 x 419 inside jalv's window"
import -window root "$out/jalv-editor.png"
colours="$(convert "$out/jalv-editor.png" -crop "862x419+$ex+$ey" -format %k info:)"
[ "$colours" -gt 200 ] || fail "the editor drew only $colours colours"
echo "editor open at $ex,$ey and drawn ($colours colours): $out/jalv-editor.png"

# 2. A drag on the level knob (centre 323,111 of the window, knobs follow the mouse's angle) from
#    its top round to its right turns it clockwise; jalv's control follows.
xdotool mousemove $((ex + 323)) $((ey + 94)) mousedown 1 sleep 0.2 mousemove $((ex + 335)) $((ey + 99)) \
  sleep 0.2 mousemove $((ex + 340)) $((ey + 111)) sleep 0.3 mouseup 1
sleep 1
save_state "$work/after-drag"
level="$(port_level "$work/after-drag")"
document="$(document_level "$work/after-drag")"
echo "after the drag: jalv's Level control $level, the plug-in's Level $document"
awk -v a="$level" -v b="$document" 'BEGIN { exit !(a > 0.55 && (a - b) ^ 2 < 1e-10) }' ||
  fail "the knob drag did not reach jalv's control (port $level, plug-in $document)"

# 3. The size control's "+" (at 847,18) grows the window to 1051 x 511.
xdotool mousemove $((ex + 847)) $((ey + 18)) click 1
sleep 1.5
read -r bx by < <(editor_at 1051x511) || fail "the editor did not grow to 1051 x 511"
host_size="$(xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }')"
import -window root "$out/jalv-editor-large.png"
echo "size 1.22: editor 1051x511 at $bx,$by, jalv's window $host_size"
[ "${host_size%x*}" -ge 1051 ] || fail "jalv's window did not grow ($host_size)"
# Back to the normal size, so later runs open at 862 x 419.
xdotool mousemove $((bx + 1004)) $((by + 22)) click 1
sleep 1
stop_jalv

# 4. A factory preset from jalv's command line, and the saved state reloaded.
start_jalv --preset "$uri/presets/pads-drones/glass-pad" "$uri"
save_state "$work/preset"
grep -q 'name: Glass Pad' "$work/preset/state.ttl" || fail "the preset did not reach the plug-in"
grep -q '#list> "Pads & Drones"' "$work/preset/state.ttl" || fail "the preset is not the factory preset in its bank"
import -window root "$out/jalv-preset.png"
echo "preset: the plug-in holds Glass Pad of Pads & Drones"
stop_jalv
start_jalv --load "$work/after-drag" "$uri"
save_state "$work/reloaded"
echo "reloaded: jalv's Level control $(port_level "$work/reloaded"), the plug-in's Level $(document_level "$work/reloaded")"
[ "$(document_level "$work/reloaded")" = "$document" ] || fail "the reloaded state lost the knob's value"
stop_jalv
echo "check-jalv: passed"
