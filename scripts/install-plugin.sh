#!/usr/bin/env bash
# Installs the built Skarvel bundle into a VST folder (the Linux convention is ~/.vst).
#
#   scripts/install-plugin.sh [BUNDLE_DIR] [VST_DIR]
#
# BUNDLE_DIR defaults to build/bundle/Skarvel, VST_DIR to $SKARVEL_VST_DIR or ~/.vst. The bundle
# lands in VST_DIR/Skarvel. The module, the factory presets and themes, pictures, font and manual
# are replaced; the user's own presets and themes (Presets/User, Appearance/User) are kept.
set -euo pipefail
cd "$(dirname "$0")/.."

bundle="${1:-build/bundle/Skarvel}"
vst_dir="${2:-${SKARVEL_VST_DIR:-$HOME/.vst}}"
target="$vst_dir/Skarvel"

if [ ! -f "$bundle/Skarvel.so" ]; then
  echo "install-plugin: no plug-in at $bundle/Skarvel.so (build it first: scripts/build.sh)" >&2
  exit 1
fi

mkdir -p "$target"
# Everything but the user folders is replaced; a file is copied under a temporary name and moved
# into place, so a host scanning the folder never loads a half-written module.
for entry in "$bundle"/*; do
  [ -e "$entry" ] || continue
  name="$(basename "$entry")"
  case "$name" in
    Presets|Appearance)
      # The user folder is created but never filled from the build (it holds test saves).
      mkdir -p "$target/$name/User"
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
echo "install-plugin: installed $target/Skarvel.so"
