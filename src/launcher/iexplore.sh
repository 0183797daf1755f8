#!/bin/sh
# Opens its one argument (a web address or a local page) with the desktop's default handler.
if [ -z "$1" ]; then
    echo "usage: IEXPLORE.EXE ADDRESS" >&2
    exit 2
fi
if command -v xdg-open >/dev/null 2>&1; then
    exec xdg-open "$1"
fi
echo "Cannot open $1: no desktop handler (xdg-open) is installed." >&2
exit 1
