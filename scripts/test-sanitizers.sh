#!/usr/bin/env bash
# The hostile host (tests/hostile) under the sanitizers: every test in an AddressSanitizer +
# UndefinedBehaviorSanitizer build (./build-asan), the HostileThreads tests in a ThreadSanitizer
# build (./build-tsan). Only the plug-in module and the test program are built. A report fails
# its test (the program sets halt_on_error for each runtime). Extra arguments go to CMake, for
# example -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++.
set -euo pipefail
cd "$(dirname "$0")/.."

# -O1 with line tables only: reports name file and line, and both builds compile in about 60 %
# of the time -O2 -g takes.
run() {
  local dir=$1 sanitize=$2 filter=$3
  shift 3
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSKARVEL_SANITIZE="$sanitize" \
    -DCMAKE_C_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" \
    -DSKARVEL_BUILD_BENCH=OFF "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)" --target hostile_host_tests
  # An empty -R matches nothing, so the filter is passed only when there is one; finding no
  # tests is a failure, never a silent pass.
  local select=(-L hostile)
  if [ -n "$filter" ]; then select+=(-R "$filter"); fi
  ctest --test-dir "$dir" --output-on-failure --no-tests=error --parallel "$(nproc)" "${select[@]}"
}

export SKARVEL_NO_DIALOGS=1
run build-asan ON '' "$@"
# The thread tests never open the editor, so that build leaves it out (a third less to compile).
run build-tsan thread '^HostileThreads\.' -DSKARVEL_BUILD_GUI=OFF "$@"
