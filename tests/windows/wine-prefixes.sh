#!/bin/sh
# wine-prefixes.sh DPI PREFIX [DPI PREFIX...]: makes afresh, side by side,
# the Wine prefixes the Windows program is tested in, each with its screen
# at a resolution: 96 dpi is Windows' scale 1, 192 its scale 2.
set -eu
fail() { echo "FAIL: $*" >&2; exit 1; }
version=$(wine --version) || fail "no wine: apt-get install wine wine64"
major=${version#wine-}
major=${major%%.*}
# Wine 8 (Debian 12) does not show OpenGL drawn into a child window on Xvfb.
[ "$major" -ge 10 ] || fail "$version: the Windows tests need Wine 10 or later (Debian 13)"
# No Mono or Gecko: the program needs neither, and nothing may be fetched.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
makePrefix() {
    rm -rf "$2"
    WINEPREFIX=$2 wineboot --init
    WINEPREFIX=$2 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f
    WINEPREFIX=$2 wineserver --wait
}
pids=
while [ $# -ge 2 ]; do
    makePrefix "$1" "$2" &
    pids="$pids $!"
    echo "$version: $2 at $1 dpi"
    shift 2
done
for pid in $pids; do wait "$pid"; done
