#!/usr/bin/env bash
# The LV2 command-line tools see the built bundle as hosts do: lv2ls lists the plug-in, lv2info
# shows its ports, presets and editor; each module exports nothing but its entry point.
#
#   tools-check.sh BUNDLE
set -euo pipefail
bundle="$(realpath "$1")"
uri="https://www.brenmoor.example/plugins/skarvel"
for program in lv2ls lv2info nm; do
  command -v "$program" >/dev/null || { echo "$program is not installed: skipped"; exit 77; }
done
path="$(mktemp -d)"
trap 'rm -rf "$path"' EXIT
ln -s "$bundle" "$path/Skarvel.lv2"
export LV2_PATH="$path:/usr/lib/lv2"
failures=0
check() {
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1"; failures=$((failures + 1)); fi
}

lv2ls >"$path/ls.txt" 2>&1 || true
check "lv2ls lists the plug-in" 'grep -qx "$uri" "$path/ls.txt"'
lv2info "$uri" >"$path/info.txt" 2>&1 || true
check "lv2info names it" 'grep -q "Name: *Skarvel by Brenmoor" "$path/info.txt"'
check "lv2info shows 39 ports" '[ "$(grep -c "^	Port [0-9]*:" "$path/info.txt")" = 39 ]'
check "the first port is Rate1" 'grep -A4 "Port 0:" "$path/info.txt" | grep -q "Symbol: *Rate1"'
check "port 36 is the atom input" '[ "$(grep -A3 "Port 36:" "$path/info.txt" | grep -c -E "#AtomPort|#InputPort")" = 2 ]'
check "the last two ports are audio outputs" '[ "$(grep -A3 -E "Port 3[78]:" "$path/info.txt" | grep -c "AudioPort")" = 2 ]'
check "ADSR2Level is an enumeration" 'grep -A6 "Symbol: *ADSR2Level" "$path/info.txt" | grep -q "Properties:.*#enumeration"'
check "Osc1 is a toggle" 'grep -A6 "Symbol: *Osc1" "$path/info.txt" | grep -q "Properties:.*#toggled"'
check "the editor is an X11 UI" 'grep -q "ui#X11UI" "$path/info.txt"'
check "the factory presets are listed" '[ "$(grep -c -E "^	         [^ ].*: " "$path/info.txt")" -ge "$(find -L "$bundle/Presets/Factory" -name "*.yaml" | wc -l)" ]'
check "Skarvel.so exports only lv2_descriptor" '[ "$(nm -D --defined-only "$bundle/Skarvel.so" | awk "{ print \$3 }")" = lv2_descriptor ]'
check "Skarvel_ui.so exports only lv2ui_descriptor" '[ "$(nm -D --defined-only "$bundle/Skarvel_ui.so" | awk "{ print \$3 }")" = lv2ui_descriptor ]'
if [ "$failures" -ne 0 ]; then
  cat "$path/info.txt"
  exit 1
fi
echo "all LV2 tool checks passed"
