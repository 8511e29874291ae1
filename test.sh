#!/usr/bin/env bash
# Builds the project and runs the whole test suite.
#   ./test.sh              plain build (build/)
#   ./test.sh --sanitize   the same under AddressSanitizer and UBSan (build-asan/)
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh

build=build
options=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-asan
  options=(-DTESSARINE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
