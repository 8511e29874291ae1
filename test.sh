#!/usr/bin/env bash
# Builds the project and runs the whole test suite.
#   ./test.sh              plain build (build/)
#   ./test.sh --sanitize   the same under AddressSanitizer, LeakSanitizer and UBSan (build-asan/)
#   ./test.sh --clang      the same built with Clang (build-clang/)
# TESSARINE_WERROR=ON in the environment makes every warning an error (CI sets it).
set -euo pipefail
cd "$(dirname "$0")"
bash scripts/install-deps.sh

build=build
options=(-DTESSARINE_WERROR="${TESSARINE_WERROR:-OFF}")
# Through ccache where there is one (a fresh machine has none).
command -v ccache >/dev/null && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
case "${1:-}" in
  --sanitize)
    build=build-asan
    options+=(-DTESSARINE_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
    # Leaks fail a test too; the toolkit's own, which it keeps until the process ends,
    # are listed with their reasons in the suppressions file.
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    ;;
  --clang)
    build=build-clang
    options+=(-DCMAKE_CXX_COMPILER=clang++-14)
    ;;
  "") ;;
  *)
    echo "usage: ./test.sh [--sanitize | --clang]" >&2
    exit 2
    ;;
esac

cmake -S . -B "$build" -G Ninja "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
cd "$build"
ctest --output-on-failure -j "$(nproc)"
