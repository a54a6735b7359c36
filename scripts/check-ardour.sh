#!/usr/bin/env bash
# A check in a real host, by hand (not part of CI: Ardour is a large install). Installs the built
# bundle into a temporary VST folder, lets Ardour's own VST scanner load it, then runs
# tools/ardour-check/session.lua in Ardour's headless Lua session tool: instantiate on a MIDI
# track, change a parameter, save the session (with the plug-in's chunk), reload, read it back.
#
#   apt-get install --no-install-recommends ardour   # once
#   scripts/check-ardour.sh
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
