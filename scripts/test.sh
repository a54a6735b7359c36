#!/usr/bin/env bash
# The test command: installs dependencies, builds, and runs every test with ctest; then the
# hostile host under the sanitizers (scripts/test-sanitizers.sh; SKARVEL_SKIP_SANITIZERS=1 leaves
# it out) and the Windows build under wine (scripts/test-windows.sh; SKARVEL_SKIP_WINDOWS=1
# leaves it out).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
export SKARVEL_NO_DIALOGS=1
ctest --test-dir build --output-on-failure --parallel "$(nproc)" --timeout 300
if [ "${SKARVEL_SKIP_SANITIZERS:-0}" != "1" ]; then
  scripts/test-sanitizers.sh
fi
if [ "${SKARVEL_SKIP_WINDOWS:-0}" != "1" ]; then
  scripts/test-windows.sh
fi
