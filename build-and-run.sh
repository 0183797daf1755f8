#!/usr/bin/env bash
# Installs what is missing, builds Clipferry and starts it (on a virtual display when there
# is no display). Arguments go to Clipferry: files or a folder to open, for example
#   ./build-and-run.sh ~/vcd/AVSEQ01.DAT ~/vcd/AVSEQ02.DAT
# build/ is configured as build-and-test.sh configures it, so neither rebuilds the other's work.
# Only what the program needs is built (the target "program"); build-and-test.sh builds the
# tests, tools and benchmarks into the same build/.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
build=${BUILD:-build}
./scripts/configure.sh "$build"
cmake --build "$build" -j "$(nproc)" --target program
program="$build/drive_c/Program Files/Clipferry/clipferry"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Clipferry on a virtual X display (xvfb-run)."
    exec xvfb-run -a "$program" "$@"
fi
exec "$program" "$@"
