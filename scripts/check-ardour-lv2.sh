#!/usr/bin/env bash
# A check of the LV2 plug-in in a real host, by hand (not part of CI: Ardour is a large install).
# Ardour finds the built bundle through LV2_PATH; its headless Lua session tool
# (tools/ardour-check/lv2-session.lua) puts Skarvel on a MIDI track, loads a factory preset from
# Ardour's own preset list, changes a parameter, plays notes while an audio track records the
# plug-in, and saves the session with the plug-in's state. ardour7-export then renders the
# session to a WAV file, and lv2-reload.lua reopens the session in a new process, reads the
# value back and saves again, so the restored state can be compared with the saved one.
#
#   apt-get install --no-install-recommends ardour
#   scripts/check-ardour-lv2.sh [BUNDLE]      # BUNDLE defaults to build/bundle/Skarvel.lv2
set -euo pipefail
cd "$(dirname "$0")/.."
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
echo "check-ardour-lv2: passed"
