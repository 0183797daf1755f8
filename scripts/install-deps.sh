#!/usr/bin/env bash
# Installs the Debian packages Clipferry needs to build, test and run, skipping those
# already present. Works as root and through sudo.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config git
    qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6
    libavcodec-dev libavformat-dev libswscale-dev libswresample-dev libavutil-dev
    ffmpeg xdg-utils
    xvfb xauth x11-apps fonts-dejavu-core fonts-liberation
    clang-format
    # the checks before the builds: static analysis of the C++ and of the shell scripts
    clang-tidy shellcheck
    # the end-to-end tests: driving and photographing windows, closing them as a user does
    xdotool imagemagick procps libxcb1-dev
    # ... on real desktops: a window manager, a Wayland session (Qt's Wayland platform), and
    # a screen reader's view of the program (a session bus with the accessibility bus)
    xfwm4 x11-utils weston qt6-wayland dbus at-spi2-core python3-pyatspi
    # ... and under a dark desktop theme: GTK's Adwaita through Qt's GTK platform theme
    qt6-gtk-platformtheme gnome-themes-extra
    # the encoder's worker confines itself with a seccomp filter
    libseccomp-dev
    # cpack's Debian package: library dependencies read from the programs
    dpkg-dev file
    # the package checked as a distribution checks it; a private session bus for the test
    # of the notification at a batch's end
    lintian appstream desktop-file-utils dbus-daemon
    # a network share that stops answering, stood in for by a small FUSE file system
    # (the folder browser's test and benchmark; fusermount to let go of it)
    python3-fuse fuse3
    # the menu icon's sizes, drawn from its SVG at build time
    librsvg2-bin
    # a second window manager for the desktop tests (desktop_metacity)
    metacity
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "All packages Clipferry needs are installed."
    exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    run=()
elif command -v sudo >/dev/null 2>&1; then
    run=(sudo)
else
    echo "Please run as root or install sudo; missing packages: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${run[@]}" apt-get update -qq
"${run[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
