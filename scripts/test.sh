#!/usr/bin/env bash
# The test command: installs dependencies, builds, and runs every test with ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export SKARVEL_NO_DIALOGS=1
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 300
