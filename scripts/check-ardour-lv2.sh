#!/usr/bin/env bash
# A check of the LV2 plug-in in a real host, by hand (not part of CI: Ardour is a large install).
# Ardour finds the built bundle through LV2_PATH; its headless Lua session tool
# (tools/ardour-check/lv2-session.lua) puts Skarvel on a MIDI track, loads a factory preset from
# Ardour's own preset list, changes a parameter, plays notes while an audio track records the
# plug-in, and saves the session with the plug-in's state. ardour7-export then renders the
# session to a WAV file, and lv2-reload.lua reopens the session in a new process, reads the
# value back and saves again, so the restored state can be compared with the saved one.
#
# With --gui it then runs Ardour's windowed program on a private Xvfb with a window manager:
# Ardour opens Skarvel's editor (its LV2 X11 UI) in its plug-in window, a screenshot shows it
# drawn, a drag on the "level" knob turns it, Ctrl+S saves, and the session must hold the new
# value both as Ardour's Level control and in the plug-in's own state. Screenshots are kept in
# build/lv2-check/.
#
#   apt-get install --no-install-recommends ardour
#   apt-get install --no-install-recommends openbox xvfb xdotool x11-utils imagemagick   # --gui
#   scripts/check-ardour-lv2.sh [--gui] [BUNDLE]   # BUNDLE defaults to build/bundle/Skarvel.lv2
set -euo pipefail
cd "$(dirname "$0")/.."
with_gui=0
if [ "${1:-}" = "--gui" ]; then
  with_gui=1
  shift
fi
bundle="$(realpath "${1:-build/bundle/Skarvel.lv2}")"
[ -f "$bundle/Skarvel.so" ] || { echo "check-ardour-lv2: no bundle at $bundle" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lv2"
ln -s "$bundle" "$work/lv2/Skarvel.lv2"
export LV2_PATH="$work/lv2:/usr/lib/lv2" SKARVEL_NO_DIALOGS=1 XDG_CONFIG_HOME="$work/config"
export SKARVEL_ARDOUR_SESSION="$work/session"
lua_tool="$(ls /usr/bin/ardour*-lua | head -n 1)"
export_tool="$(ls /usr/bin/ardour*-export | head -n 1)"

timeout 300 "$lua_tool" tools/ardour-check/lv2-session.lua </dev/null 2>&1 | grep -E "instantiated|preset|played|Error|assert"
# Ardour keeps one folder per saved state; the newest is the session's.
saved="$(ls -td "$work"/session/plugins/*/state* | head -n 1)/state.ttl"
[ -f "$saved" ] || { echo "check-ardour-lv2: Ardour saved no plug-in state" >&2; exit 1; }

# The session rendered offline: the recorded take of the plug-in must not be silent.
out="build/lv2-check"
mkdir -p "$out"
timeout 300 "$export_tool" -o "$PWD/$out/ardour-render.wav" "$work/session" skarvel-lv2-check >/dev/null 2>&1
peak="$(od -An -v -t d2 -w2 -j 44 "$out/ardour-render.wav" | awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }')"
echo "rendered $out/ardour-render.wav, peak $peak of 32767"
[ "$peak" -gt 100 ] || { echo "check-ardour-lv2: the rendered session is silent" >&2; exit 1; }

timeout 300 "$lua_tool" tools/ardour-check/lv2-reload.lua </dev/null 2>&1 | grep -E "reloaded|passed|Error|assert"
restored="$(ls -td "$work"/session/plugins/*/state* | head -n 1)/state.ttl"
# Ardour writes a new state folder only when the plug-in's state differs from the saved one.
if [ "$restored" = "$saved" ]; then
  echo "state: Ardour found the restored plug-in's state equal to the saved one (no new state written)"
fi
grep -q 'Level: 0.25' "$restored" || { echo "check-ardour-lv2: the plug-in's state lost the change" >&2; exit 1; }
grep -q '#list> "Pads & Drones"' "$restored" || { echo "check-ardour-lv2: the preset is not in its bank" >&2; exit 1; }
# The program the plug-in saved and the one it restored: the same document, list and position.
program() { sed -n '/skarvel#program>/,/skarvel#position>/p' "$1"; }
if [ "$(program "$saved")" != "$(program "$restored")" ]; then
  diff <(program "$saved") <(program "$restored") >&2 || true
  echo "check-ardour-lv2: the restored state differs from the saved one" >&2
  exit 1
fi
echo "state: $(program "$restored" | grep -E "name:|^ *Level:|#list>" | tr -s ' ' | tr '\n' ' ')"
if [ "$with_gui" = 0 ]; then
  echo "check-ardour-lv2: passed"
  exit 0
fi

for program in ardour Xvfb openbox xdotool xwininfo import convert; do
  command -v "$program" >/dev/null 2>&1 || { echo "check-ardour-lv2 --gui needs $program" >&2; exit 1; }
done
gui="$work/gui"
. scripts/lib/ardour-gui-config.sh
write_ardour_gui_config "$gui"
pids=()
stop_all() {
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
    kill "${pids[i]}" 2>/dev/null || true
    wait "${pids[i]}" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap stop_all EXIT
Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$gui/display" 2>"$gui/xvfb.log" &
pids+=("$!")
for _ in $(seq 1 100); do [ -s "$gui/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$gui/display")"
openbox >"$gui/openbox.log" 2>&1 &
pids+=("$!")

export SKARVEL_ARDOUR_SESSION="$gui/session" SKARVEL_ARDOUR_FORMAT=LV2 SKARVEL_ARDOUR_AUTOMATION=Manual
window="$( (timeout 300 "$lua_tool" tools/ardour-check/gui-session.lua </dev/null 2>&1 || true) |
  awk '$1 == "editor-window" { print $2 }')"
[ -n "$window" ] || { echo "check-ardour-lv2: Ardour's session tool could not make the session" >&2; exit 1; }
session_file="$gui/session/skarvel-gui.ardour"
# Ardour reopens the plug-in editors the session says were open when it was saved.
sed -i "s#^</Session>#  <Extra><UI><Window name=\"$window\" visible=\"1\" x-off=\"0\" y-off=\"0\" x-size=\"862\" y-size=\"459\" custom-ui=\"1\"/></UI></Extra>\n</Session>#" \
  "$session_file"
XDG_CONFIG_HOME="$gui/config" ardour -a -n "$session_file" >"$gui/ardour.log" 2>&1 &
ardour_pid=$!
pids+=("$ardour_pid")
# Skarvel's editor is the viewable 862 x 419 window inside Ardour's plug-in window (the UI
# wrapper keeps windows of the same size that are not shown), as "X Y" on the screen.
editor_at() {
  local id
  for id in $(xwininfo -root -tree | awk '/ 862x419\+0\+0 / { print $1 }'); do
    xwininfo -id "$id" 2>/dev/null | awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
      /Map State: IsViewable/ { shown = 1 } END { if (shown) print x, y }' | grep . && return 0
  done
  return 0
}
position=""
for _ in $(seq 1 120); do
  position="$(editor_at)"
  [ -n "$position" ] && break
  sleep 0.5
done
if [ -z "$position" ]; then
  import -window root "$out/ardour-no-editor.png"
  echo "check-ardour-lv2: Ardour did not open Skarvel's editor (screen: $out/ardour-no-editor.png)" >&2
  exit 1
fi
sleep 3
read -r ex ey <<<"$position"
import -window root "$out/ardour-editor.png"
colours="$(convert "$out/ardour-editor.png" -crop "862x419+$ex+$ey" -format %k info:)"
echo "editor open in Ardour's plug-in window at $ex,$ey and drawn ($colours colours): $out/ardour-editor.png"
[ "$colours" -gt 200 ] || { echo "check-ardour-lv2: the editor drew only $colours colours" >&2; exit 1; }

# A drag on the level knob (centre 323,111 of the editor) from its top round to its right.
xdotool mousemove $((ex + 323)) $((ey + 94)) mousedown 1 sleep 0.2 mousemove $((ex + 335)) $((ey + 99)) \
  sleep 0.2 mousemove $((ex + 340)) $((ey + 111)) sleep 0.3 mouseup 1
sleep 1
import -window root "$out/ardour-editor-after-drag.png"
main="$(xdotool search --name ' - Ardour$' | head -n 1)"
xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
xdotool key ctrl+s
sleep 3
kill "$ardour_pid" 2>/dev/null || true
wait "$ardour_pid" 2>/dev/null || true
# Ardour's Level control as the session stores it, and Level in the plug-in's state.
control="$(grep -o '<Port symbol="Level" value="[^"]*"' "$session_file" | sed 's/.*value="\([^"]*\)"/\1/' | head -n 1)"
state="$(ls -td "$gui"/session/plugins/*/state* | head -n 1)/state.ttl"
document="$(grep -o 'Level: [-0-9.e]*' "$state" | head -n 1 | cut -d' ' -f2)"
echo "after the drag: Ardour's Level control ${control:-none}, the plug-in's Level ${document:-none}"
awk -v a="${control:-0}" -v b="${document:-0}" 'BEGIN { exit !(a > 0.55 && (a - b) ^ 2 < 1e-10) }' ||
  { echo "check-ardour-lv2: the knob drag did not reach Ardour's control and the saved state" >&2; exit 1; }
echo "check-ardour-lv2: passed"
