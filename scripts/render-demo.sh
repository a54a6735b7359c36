#!/usr/bin/env bash
# The main job: installs dependencies, builds, and renders the demo phrase through the built
# plug-in (loaded by the offline host skarvel-render) to build/demo.wav.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export SKARVEL_NO_DIALOGS=1
build/tools/skarvel-render/skarvel-render build/bundle/Skarvel/Skarvel.so -o build/demo.wav
