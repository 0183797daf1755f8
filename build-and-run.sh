#!/usr/bin/env bash
# Installs what is missing, builds Clipferry and starts it (on a virtual display when there
# is no display).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/install-deps.sh
build=${BUILD:-build}
cmake -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j "$(nproc)"
program="$build/drive_c/Program Files/Clipferry/clipferry"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting Clipferry on a virtual X display (xvfb-run)."
    exec xvfb-run -a "$program"
fi
exec "$program"
