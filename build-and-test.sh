#!/usr/bin/env bash
# Installs what is missing, checks the formatting, the direction of includes between the
# source folders, clang-tidy's findings and shellcheck's, then builds and runs every test
# twice:
# once normally (build/) and once under AddressSanitizer + UndefinedBehaviorSanitizer
# (build-asan/). Extra arguments go to ctest (for example: -L platform).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
./scripts/check-format.sh
./scripts/check-includes.sh
./scripts/check-shell.sh
./scripts/check-tidy.sh

jobs=$(nproc)

# Configured as build-and-run.sh configures it: after that command, nothing is rebuilt here.
./scripts/configure.sh build
cmake --build build -j "$jobs"
./scripts/with-display.sh ctest --test-dir build --output-on-failure -j "$jobs" "$@"

./scripts/configure.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DCLIPFERRY_SANITIZE=ON
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ./scripts/with-display.sh ctest --test-dir build-asan --output-on-failure -j "$jobs" "$@"
echo "All tests passed (normal and sanitizer builds)."
