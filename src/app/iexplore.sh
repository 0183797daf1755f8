#!/bin/sh
# Opens the address it is given in the desktop's web browser, as the program's web browser
# command does. Returns at once; a browser that is missing is reported on stderr.
for opener in xdg-open x-www-browser sensible-browser; do
    if command -v "$opener" >/dev/null 2>&1; then
        exec "$opener" "$@"
    fi
done
if command -v gio >/dev/null 2>&1; then
    exec gio open "$@"
fi
echo "IEXPLORE.EXE: no web browser found to open $*" >&2
exit 1
