#!/usr/bin/env bash
# A check in a real host, by hand (not part of CI: Ardour is a large install). Installs the built
# bundle into a temporary VST folder, lets Ardour's own VST scanner load it, then runs
# tools/ardour-check/session.lua in Ardour's headless Lua session tool: instantiate on a MIDI
# track, change a parameter, save the session (with the plug-in's chunk), reload, read it back.
#
# With --gui it then runs Ardour's windowed program on a private Xvfb: Ardour opens Skarvel's
# editor, the transport rolls with every parameter's automation in Touch mode, a click on the
# bank stepper picks another preset (as a user would), the transport stops, Ctrl+S saves, and
# tools/ardour-check/compare-session.py checks that every parameter value Ardour stored in the
# session is the picked preset's (Ardour's controls and automation lanes show those values) and
# that no automation was recorded (the user touched no parameter).
# Screenshots before and after the click are left in $TMPDIR/skarvel-ardour-check/gui.
#
#   apt-get install --no-install-recommends ardour   # once
#   apt-get install --no-install-recommends openbox xvfb xdotool x11-utils imagemagick   # --gui
#   scripts/check-ardour.sh [--gui]
set -euo pipefail
cd "$(dirname "$0")/.."
# A fixed folder: Ardour remembers scanned module paths, and a path it has seen once is indexed
# from the scanner's cache on the next start.
work="${TMPDIR:-/tmp}/skarvel-ardour-check"
rm -rf "$work/session"
export SKARVEL_NO_DIALOGS=1 LXVST_PATH="$work/vst" SKARVEL_ARDOUR_SESSION="$work/session" SKARVEL_SHARED_USER_FOLDERS=0
scripts/install-plugin.sh build/bundle/Skarvel "$work/vst" >/dev/null
scanner="$(ls /usr/lib/ardour*/ardour-vst-scanner | head -n 1)"
LD_LIBRARY_PATH="$(dirname "$scanner")" "$scanner" "$work/vst/Skarvel/Skarvel.so" | grep -E "Found Plugin"
lua_tool="$(ls /usr/bin/ardour*-lua | head -n 1)"
# Ardour's session tool does not scan: the first start records the module as changed, the
# scanner indexes it, and the second start finds it.
timeout 120 "$lua_tool" tools/ardour-check/list.lua </dev/null >/dev/null 2>&1 || true
LD_LIBRARY_PATH="$(dirname "$scanner")" "$scanner" -f -q "$work/vst/Skarvel/Skarvel.so"
timeout 300 "$lua_tool" tools/ardour-check/session.lua </dev/null 2>&1 | grep -E "instantiated|Error"
timeout 300 "$lua_tool" tools/ardour-check/reload.lua </dev/null 2>&1 | grep -E "reloaded|passed|Error"

[ "${1:-}" = "--gui" ] || exit 0

for program in Xvfb openbox xdotool xwininfo python3; do
  command -v "$program" >/dev/null 2>&1 || { echo "check-ardour --gui needs $program" >&2; exit 1; }
done
gui="$work/gui"
rm -rf "$gui"
. scripts/lib/ardour-gui-config.sh
write_ardour_gui_config "$gui"

Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3>"$gui/display" 2>"$gui/xvfb.log" &
pids=("$!")
stop_all() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap stop_all EXIT
for _ in $(seq 1 100); do [ -s "$gui/display" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$gui/display")"
openbox >"$gui/openbox.log" 2>&1 &
pids+=("$!")
shot() { if command -v import >/dev/null 2>&1; then import -window root "$gui/$1.png"; fi; }

# One windowed run with every parameter's automation in mode $1 (Manual or Touch): with Touch
# the transport rolls while the preset is picked, so anything Ardour took for a touch would be
# recorded. Prints the comparison of what Ardour saved; fails when anything is stale or recorded.
run_gui() {
  local mode="$1" folder="$gui/$1"
  export SKARVEL_ARDOUR_SESSION="$folder/session" SKARVEL_ARDOUR_AUTOMATION="$mode"
  local window
  window="$( (timeout 300 "$lua_tool" tools/ardour-check/gui-session.lua </dev/null 2>&1 || true) |
    awk '$1 == "editor-window" { print $2 }')"
  [ -n "$window" ] || { echo "Ardour's session tool could not make the session" >&2; return 1; }
  local session_file="$folder/session/skarvel-gui.ardour"
  # Ardour reopens the plug-in editors the session says were open when it was saved.
  sed -i "s#^</Session>#  <Extra><UI><Window name=\"$window\" visible=\"1\" x-off=\"0\" y-off=\"0\" x-size=\"862\" y-size=\"459\" custom-ui=\"1\"/></UI></Extra>\n</Session>#" \
    "$session_file"
  cp "$session_file" "$folder/before-pick.ardour"
  XDG_CONFIG_HOME="$gui/config" ardour -a -n "$session_file" >"$folder/ardour.log" 2>&1 &
  local ardour=$!
  pids=("$ardour" "${pids[@]}")
  # Skarvel's editor is the nameless 862 x 419 child of Ardour's plug-in window.
  local editor=""
  for _ in $(seq 1 120); do
    editor="$(xwininfo -root -tree | awk '/\(has no name\): \(\) +862x419\+/ && !found { print $1; found = 1 }')"
    [ -n "$editor" ] && break
    sleep 0.5
  done
  [ -n "$editor" ] || { shot "$mode-no-editor"; echo "Ardour did not open Skarvel's editor (see $gui)" >&2; return 1; }
  sleep 3
  local main
  main="$(xdotool search --name ' - Ardour$' | awk 'NR == 1')"
  shot "$mode-before"
  if [ "$mode" = Touch ]; then
    xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
    xdotool key space  # roll
    sleep 1
  fi
  # The bank stepper's left arrow: the previous preset list, and with it its first preset.
  xdotool mousemove --window "$editor" 230 38 click 1
  sleep 2
  shot "$mode-after"
  xdotool windowactivate --sync "$main" >/dev/null 2>&1 || true
  if [ "$mode" = Touch ]; then
    xdotool key space  # stop
    sleep 1
  fi
  xdotool key ctrl+s
  sleep 3
  kill "$ardour" 2>/dev/null || true
  wait "$ardour" 2>/dev/null || true
  echo "automation $mode:"
  python3 tools/ardour-check/compare-session.py "$session_file" "$folder/before-pick.ardour"
}

status=0
run_gui Manual || status=1
run_gui Touch || status=1
exit "$status"
