#!/usr/bin/env bash
# Installs a built Skarvel bundle where Linux hosts look for it: the VST 2.4 bundle into a VST
# folder (~/.vst), the LV2 bundle into an LV2 folder (~/.lv2).
#
#   scripts/install-plugin.sh [BUNDLE_DIR] [DEST_DIR]
#   scripts/install-plugin.sh --lv2 [DEST_DIR]          # the LV2 bundle, build/bundle/Skarvel.lv2
#
# BUNDLE_DIR defaults to build/bundle/Skarvel. A bundle whose folder ends in ".lv2" is the LV2
# one: it lands in DEST_DIR/Skarvel.lv2, DEST_DIR defaulting to $SKARVEL_LV2_DIR or ~/.lv2; the
# VST 2.4 bundle lands in DEST_DIR/Skarvel, DEST_DIR defaulting to $SKARVEL_VST_DIR or ~/.vst.
# The modules, description files, factory presets and themes, pictures, font and manual are
# replaced; the user's own presets and themes are kept.
#
# User presets and themes: both formats read Presets/User and Appearance/User beside their
# module. So that a preset saved in one format is found by the other, both installed bundles'
# user folders are links to one folder per user, $SKARVEL_USER_DATA or
# ${XDG_DATA_HOME:-~/.local/share}/Brenmoor/Skarvel (with Presets/User and Appearance/User in
# it). Files an installed bundle already holds in a real user folder are moved there first
# (never over a different file of the same name: that one is kept under a numbered name), then
# the folder becomes the link. SKARVEL_SHARED_USER_FOLDERS=0 leaves the user folders inside the
# bundle, as they were before.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--lv2" ]; then
  shift
  set -- build/bundle/Skarvel.lv2 "$@"
fi
bundle="${1:-build/bundle/Skarvel}"
bundle="${bundle%/}"
if [ "${bundle%.lv2}" != "$bundle" ]; then
  dest_dir="${2:-${SKARVEL_LV2_DIR:-$HOME/.lv2}}"
  target="$dest_dir/Skarvel.lv2"
else
  dest_dir="${2:-${SKARVEL_VST_DIR:-$HOME/.vst}}"
  target="$dest_dir/Skarvel"
fi
shared="${SKARVEL_USER_DATA:-${XDG_DATA_HOME:-$HOME/.local/share}/Brenmoor/Skarvel}"

if [ ! -f "$bundle/Skarvel.so" ]; then
  echo "install-plugin: no plug-in at $bundle/Skarvel.so (build it first: scripts/build.sh)" >&2
  exit 1
fi

# Moves every entry of folder $1 into folder $2. An entry whose name is taken there already is
# dropped when it is the same file, merged when both are folders, and otherwise moved in under
# the first free name "<name> <n>.<extension>".
merge_into() {
  local from="$1" to="$2" entry name base extension n candidate
  mkdir -p "$to"
  for entry in "$from"/* "$from"/.[!.]*; do
    [ -e "$entry" ] || [ -L "$entry" ] || continue
    name="$(basename "$entry")"
    if [ ! -e "$to/$name" ] && [ ! -L "$to/$name" ]; then
      mv "$entry" "$to/$name"
    elif [ -d "$entry" ] && [ ! -L "$entry" ] && [ -d "$to/$name" ]; then
      merge_into "$entry" "$to/$name"
      rmdir "$entry" 2>/dev/null || true
    elif [ -f "$entry" ] && [ -f "$to/$name" ] && cmp -s "$entry" "$to/$name"; then
      rm -f "$entry"
    else
      base="${name%.*}" extension=""
      [ "$base" != "$name" ] && extension=".${name##*.}"
      n=2
      candidate="$to/$base $n$extension"
      while [ -e "$candidate" ] || [ -L "$candidate" ]; do
        n=$((n + 1))
        candidate="$to/$base $n$extension"
      done
      mv "$entry" "$candidate"
    fi
  done
}

# Makes $1 (a bundle's user folder) a link to $2 (the shared folder), moving what it holds there.
# A link that already leads somewhere that exists is left as the user set it.
share_user_folder() {
  local folder="$1" shared_folder="$2"
  mkdir -p "$shared_folder"
  if [ -L "$folder" ]; then
    [ -e "$folder" ] && return 0
    rm -f "$folder"
  elif [ -d "$folder" ]; then
    merge_into "$folder" "$shared_folder"
    rmdir "$folder" || {
      echo "install-plugin: $folder still holds files; left as it is" >&2
      return 0
    }
  fi
  ln -s "$shared_folder" "$folder"
}

mkdir -p "$target"
# Everything but the user folders is replaced; a file is copied under a temporary name and moved
# into place, so a host scanning the folder never loads a half-written module.
for entry in "$bundle"/*; do
  [ -e "$entry" ] || continue
  name="$(basename "$entry")"
  case "$name" in
    Presets|Appearance)
      # The bundle's own user folder is never copied (in the build it holds test saves).
      [ -e "$target/$name/User" ] || [ -L "$target/$name/User" ] || mkdir -p "$target/$name/User"
      if [ -d "$entry/Factory" ]; then
        rm -rf "$target/$name/.Factory.new"
        cp -R "$entry/Factory" "$target/$name/.Factory.new"
        rm -rf "$target/$name/Factory"
        mv "$target/$name/.Factory.new" "$target/$name/Factory"
      fi
      ;;
    *)
      rm -rf "$target/.$name.new"
      cp -R "$entry" "$target/.$name.new"
      rm -rf "$target/$name"
      mv "$target/.$name.new" "$target/$name"
      ;;
  esac
done

if [ "${SKARVEL_SHARED_USER_FOLDERS:-1}" != "0" ]; then
  # Both formats' installations share the user folders (the other one's too, when installed).
  other_vst="${SKARVEL_VST_DIR:-$HOME/.vst}/Skarvel"
  other_lv2="${SKARVEL_LV2_DIR:-$HOME/.lv2}/Skarvel.lv2"
  for installed in "$target" "$other_vst" "$other_lv2"; do
    [ -f "$installed/Skarvel.so" ] || continue
    share_user_folder "$installed/Presets/User" "$shared/Presets/User"
    share_user_folder "$installed/Appearance/User" "$shared/Appearance/User"
  done
  echo "install-plugin: user presets and themes are in $shared"
fi
echo "install-plugin: installed $target/Skarvel.so"
