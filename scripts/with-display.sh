#!/usr/bin/env bash
# Runs a command with an X display: the current one, or a virtual one for the tests that
# need a real window system (the rest run on Qt's offscreen platform).
set -euo pipefail
if [ -n "${DISPLAY:-}" ]; then
    exec "$@"
fi
exec xvfb-run -a -s "-screen 0 1280x1024x24" "$@"
