#!/usr/bin/env bash
# Configures a build folder the one way both set-up commands use, so that what one of them
# built the other finds built: Ninja, RelWithDebInfo, warnings as errors (a warning fails
# the build, in CI too). Further arguments go to cmake (the sanitizer build adds its own).
# usage: scripts/configure.sh BUILD_DIR [CMAKE_ARGUMENTS...]
set -euo pipefail
cd "$(dirname "$0")/.."
build=$1
shift
exec cmake -G Ninja -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCLIPFERRY_WERROR=ON "$@"
