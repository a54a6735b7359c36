#!/usr/bin/env bash
# scripts/install-plugin.sh with a VST 2.4 and an LV2 bundle in a private home: the user folders
# of both installations become links to one shared folder, an older installation's own presets
# move there without a file lost, and a preset saved through one format is found by the other.
#
#   install-check.sh SOURCE_DIR
set -euo pipefail
source_dir="$1"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
# Small stand-ins for the built bundles: the script copies whatever a bundle holds.
vst_bundle="$home/build/Skarvel" lv2_bundle="$home/build/Skarvel.lv2"
for bundle in "$vst_bundle" "$lv2_bundle"; do
  mkdir -p "$bundle/Presets/Factory/Bank" "$bundle/Presets/User" "$bundle/Appearance/Factory" "$bundle/Fonts"
  echo "module" >"$bundle/Skarvel.so"
  echo "factory" >"$bundle/Presets/Factory/Bank/Factory.yaml"
  echo "test save" >"$bundle/Presets/User/Saved by a test.yaml"
done
echo "description" >"$lv2_bundle/manifest.ttl"
export HOME="$home" XDG_DATA_HOME="$home/share"
unset SKARVEL_VST_DIR SKARVEL_LV2_DIR SKARVEL_USER_DATA SKARVEL_SHARED_USER_FOLDERS
install="$source_dir/scripts/install-plugin.sh"
shared="$home/share/Brenmoor/Skarvel"
failures=0
check() {
  if eval "$2"; then echo "ok: $1"; else echo "FAILED: $1 ($2)"; failures=$((failures + 1)); fi
}

# An installation from before the folders were shared: real user folders with the musician's
# files, one of them a name the other installation will also hold.
mkdir -p "$home/.vst/Skarvel/Presets/User/Mine" "$home/.vst/Skarvel/Appearance/User"
cp "$vst_bundle/Skarvel.so" "$home/.vst/Skarvel/"
echo "vst2 preset" >"$home/.vst/Skarvel/Presets/User/Old.yaml"
echo "in a subfolder" >"$home/.vst/Skarvel/Presets/User/Mine/Deep.yaml"
echo "vst2 theme" >"$home/.vst/Skarvel/Appearance/User/Theme.yaml"
mkdir -p "$home/.lv2/Skarvel.lv2/Presets/User"
echo "same" >"$home/.lv2/Skarvel.lv2/Presets/User/Same.yaml"
echo "same" >"$home/.vst/Skarvel/Presets/User/Same.yaml"
echo "lv2 version" >"$home/.lv2/Skarvel.lv2/Presets/User/Old.yaml"

"$install" "$lv2_bundle" >/dev/null
check "the LV2 bundle is installed" '[ -f "$home/.lv2/Skarvel.lv2/Skarvel.so" ] && [ -f "$home/.lv2/Skarvel.lv2/manifest.ttl" ]'
check "factory presets are installed" '[ -f "$home/.lv2/Skarvel.lv2/Presets/Factory/Bank/Factory.yaml" ]'
check "the build's own user folder is not copied" '! find "$shared" -name "Saved by a test.yaml" | grep -q .'
for folder in Presets/User Appearance/User; do
  check "LV2 $folder is a link to the shared folder" '[ "$(readlink "$home/.lv2/Skarvel.lv2/$folder")" = "$shared/$folder" ]'
  check "VST2 $folder is a link to the shared folder" '[ "$(readlink "$home/.vst/Skarvel/$folder")" = "$shared/$folder" ]'
done
check "the older installation's preset moved over" 'grep -qx "lv2 version" "$shared/Presets/User/Old.yaml" || grep -qx "vst2 preset" "$shared/Presets/User/Old.yaml"'
check "a clashing preset is kept under a numbered name" '[ "$(cat "$shared/Presets/User/Old.yaml" "$shared/Presets/User/Old 2.yaml" | sort | tr "\n" "|")" = "lv2 version|vst2 preset|" ]'
check "identical presets are kept once" '[ "$(ls "$shared/Presets/User" | grep -c "^Same")" = 1 ]'
check "subfolders move with their files" 'grep -qx "in a subfolder" "$shared/Presets/User/Mine/Deep.yaml"'
check "themes move too" 'grep -qx "vst2 theme" "$shared/Appearance/User/Theme.yaml"'

# A preset saved through one format's folder is there for the other.
echo "saved in LV2" >"$home/.lv2/Skarvel.lv2/Presets/User/New.yaml"
check "a preset saved by one format is found by the other" 'grep -qx "saved in LV2" "$home/.vst/Skarvel/Presets/User/New.yaml"'

# Installing again (both formats) keeps everything and the links.
before="$(cd "$shared" && find . -type f -print0 | sort -z | xargs -0 cat | md5sum)"
"$install" "$vst_bundle" >/dev/null
"$install" "$lv2_bundle" >/dev/null
check "installing again keeps every user file" '[ "$(cd "$shared" && find . -type f -print0 | sort -z | xargs -0 cat | md5sum)" = "$before" ]'
check "installing again keeps the links" '[ -L "$home/.vst/Skarvel/Presets/User" ] && [ -L "$home/.lv2/Skarvel.lv2/Presets/User" ]'

# A link whose target is gone is made again; opting out keeps real folders.
rm -rf "$shared"
"$install" "$lv2_bundle" "$home/.lv2" >/dev/null
check "a dangling link is made again" '[ -d "$home/.lv2/Skarvel.lv2/Presets/User/" ] && [ -d "$shared/Presets/User" ]'
SKARVEL_SHARED_USER_FOLDERS=0 "$install" "$lv2_bundle" "$home/elsewhere" >/dev/null
check "without sharing the user folders are the bundle's own" '[ -d "$home/elsewhere/Skarvel.lv2/Presets/User" ] && [ ! -L "$home/elsewhere/Skarvel.lv2/Presets/User" ]'

[ "$failures" -eq 0 ] || { echo "$failures checks failed"; exit 1; }
echo "all install checks passed"
