#!/usr/bin/env bash
# The Debian package as a distribution would judge it: cpack makes it from the build
# folder (into a temporary folder), then lintian must find no error and no warning (the
# informational tags are shown), appstreamcli must accept its metainfo and
# desktop-file-validate its menu entry, and the package, its manual page and its metainfo
# must carry the project's version.
#
# usage: check_package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
for tool in cpack dpkg-deb lintian appstreamcli desktop-file-validate; do
    command -v "$tool" >/dev/null || skip "$tool is not installed (scripts/install-deps.sh)"
done

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 ||
    { cat "$tmp/cpack.log"; fail "cpack could not make the package"; }
deb=$(echo "$tmp"/out/clipferry_*.deb)
[ -f "$deb" ] || fail "cpack made no clipferry_*.deb"
dpkg-deb -x "$deb" "$tmp/root"
share="$tmp/root/usr/share"
metainfo="$share/metainfo/org.clipferry.clipferry.metainfo.xml"

[ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] ||
    fail "the package's version is $(dpkg-deb -f "$deb" Version), not $version-1"
zcat "$share/man/man1/clipferry.1.gz" | head -n 1 | grep -qF "\"Clipferry $version\"" ||
    fail "the manual page does not name version $version"
grep -qF "<release version=\"$version\"" "$metainfo" ||
    fail "the metainfo has no release $version"

# The menu's icon in every size of the icon theme (lintian checks each picture's size).
for size in scalable 16x16 22x22 24x24 32x32 48x48 64x64 128x128 256x256; do
    compgen -G "$share/icons/hicolor/$size/apps/clipferry.*" >/dev/null || fail "no $size icon"
done

echo "== lintian $(basename "$deb")"
status=0
lintian --fail-on error,warning --display-info --pedantic "$deb" >"$tmp/lintian.log" 2>&1 ||
    status=$?
grep -v '^running with root privileges' "$tmp/lintian.log" || true
[ "$status" -eq 0 ] || fail "lintian found errors or warnings"
echo "== appstreamcli validate"
appstreamcli validate --no-net --pedantic "$metainfo" || fail "appstreamcli rejects the metainfo"
echo "== desktop-file-validate"
desktop-file-validate "$share/applications/clipferry.desktop" ||
    fail "desktop-file-validate rejects the menu entry"
echo "The package passes lintian, appstreamcli and desktop-file-validate."
