#!/bin/sh
# wine-prefixes.sh PREFIX_96 PREFIX_192: makes afresh the two Wine prefixes
# the Windows program is tested in, one whose screen is at Windows' 96 dpi
# (scale 1) and one at 192 dpi (scale 2).
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
    rm -rf "$1"
    WINEPREFIX=$1 wineboot --init
    WINEPREFIX=$1 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f
    WINEPREFIX=$1 wineserver --wait
}
makePrefix "$1" 96 &
makePrefix "$2" 192
wait $! # the first one
echo "$version: $1 at 96 dpi, $2 at 192 dpi"
