#!/usr/bin/env bash
# The program as a new user starts it from an installation: installs the build into a
# temporary prefix (or takes an installed program), starts bin/clipferry with a home folder
# of its own, waits for the window, takes a screenshot, closes the window as a window
# manager's close button does, and checks that the program ended with 0, left no worker
# process behind and set up the user's own C: drive.
#
# usage: program_smoke.sh BUILD_DIR CLOSE_WINDOW_TOOL SCREENSHOT [INSTALLED_PROGRAM]
set -euo pipefail
build=$1 closer=$2 screenshot=$3 program=${4:-}

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -n "${DISPLAY:-}" ] || skip "needs an X display (run the tests under scripts/with-display.sh)"
for tool in xdotool import pgrep; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh)"
done

tmp=$(mktemp -d)
pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
    rm -rf "$tmp"
}
trap cleanup EXIT

if [ -z "$program" ]; then
    cmake --install "$build" --prefix "$tmp/prefix" >"$tmp/install.log"
    program="$tmp/prefix/bin/clipferry"
    installed="$tmp/prefix/lib/clipferry/drive_c"
    [ -L "$program" ] || fail "bin/clipferry is not a link"
    [ -f "$installed/.clipferry-shared" ] || fail "the installed C: drive is not marked shared"
    [ -f "$tmp/prefix/share/applications/clipferry.desktop" ] || fail "no desktop entry"
    [ -f "$tmp/prefix/share/icons/hicolor/scalable/apps/clipferry.svg" ] || fail "no icon"
    for file in "Samples/AVSEQ01.DAT" "Samples/sample.mpg" \
        "Program Files/Windows Media Components/Encoder/WMEncEng.dll" \
        "Program Files/Windows Media Components/Encoder/WMEncWorker" \
        "Program Files/Internet Explorer/IEXPLORE.EXE" \
        "Program Files/Clipferry/Kestrel Medium.prx" "Program Files/Clipferry/engine.html"; do
        [ -f "$installed/$file" ] || fail "not installed: $file"
    done
fi

export HOME="$tmp/home"
export XDG_DATA_HOME="$HOME/.local/share"
export QT_QPA_PLATFORM=xcb
userc="$XDG_DATA_HOME/clipferry/drive_c"
# The profiles as Settings / Check Profile Setup leaves them, so no hint box comes up.
profiles="$userc/Program Files/Windows Media Components/Encoder/Profiles"
mkdir -p "$profiles"
cp "$(dirname "$(readlink -f "$program")")"/*.prx "$profiles/"

"$program" >"$tmp/program.log" 2>&1 &
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" --name '^Clipferry$' |
    head -n 1) || true
[ -n "$window" ] || { cat "$tmp/program.log"; fail "no Clipferry window within 60 s"; }

# The window is mapped before it is painted: give it a moment for the picture.
sleep 1
mkdir -p "$(dirname "$screenshot")"
import -window "$window" "$screenshot"

"$closer" "$window"
for _ in $(seq 300); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
kill -0 "$pid" 2>/dev/null && fail "the program is still running 30 s after its window closed"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || { cat "$tmp/program.log"; fail "the program ended with $status"; }
if pgrep -f "$tmp" >/dev/null; then
    fail "processes left behind: $(pgrep -af "$tmp")"
fi

[ -L "$userc/Program Files/Windows Media Components/Encoder/WMEncEng.dll" ] ||
    fail "the user's C: drive has no link to the engine module"
[[ -d "$userc/Samples" && ! -L "$userc/Samples" ]] || fail "the user's C:\\Samples is not a folder"
[ -e "$userc/Samples/AVSEQ01.DAT" ] || fail "the user's C:\\Samples has no AVSEQ01.DAT"
echo "The program came up, showed its window ($screenshot) and closed cleanly."
