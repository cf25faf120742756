#!/bin/sh
# installer.sh SETUP VERSION E2E_TESTS: the installer, run silently (/S) as
# an administrator deploying it would, in a fresh Wine prefix: it puts the
# program under Program Files, a Start-menu shortcut and an installed-apps
# entry with the name, version and publisher in place; the installed program
# starts and draws the site (the start-up scenario, on it); the uninstaller,
# run silently, leaves no file and no registry entry behind.
set -eu
setup=$1 version=$2 e2e=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
# No Mono or Gecko, which nothing needs; and no winemenubuilder, which
# would copy the shortcut into this machine's own menus and keep a note of
# it in the registry.
export WINEPREFIX="$(mktemp -d /tmp/dalvery-wine-XXXXXX)" WINEDEBUG=-all \
    WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
trap 'wineserver --kill 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
wineboot --init
wineserver --wait
drive=$WINEPREFIX/drive_c
installed=$drive/Program\ Files/Dalvery
menu=$drive/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Dalvery
entry='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Dalvery'
# Wine keeps the registry in text files, written out when wineserver ends.
registryMentions() { grep -il dalvery "$WINEPREFIX"/*.reg || true; }
[ -z "$(registryMentions)" ] || fail "the fresh prefix mentions Dalvery already"

wine "$setup" /S
wineserver --wait
for f in dalvery.exe LICENSE.txt README.txt Uninstall.exe; do
    [ -f "$installed/$f" ] || fail "no $f in $installed"
done
[ -f "$menu/Dalvery.lnk" ] || fail "no Start-menu shortcut in $menu: $(ls "$menu" 2>&1)"
value() { wine reg query "$entry" /v "$1" | tr -d '\r' | sed -n "s/^ *$1 *REG_SZ *//p"; }
[ "$(value DisplayName)" = Dalvery ] || fail "DisplayName '$(value DisplayName)'"
[ "$(value DisplayVersion)" = "$version" ] || fail "DisplayVersion '$(value DisplayVersion)', not $version"
[ -n "$(value Publisher)" ] || fail "no Publisher"
echo "installed: $(ls "$installed" | tr '\n' ' '); $(value DisplayName) $(value DisplayVersion) by $(value Publisher)"

# A program started while wineserver runs joins its desktop, which the
# queries above made without a display: it would never show a window.
wineserver --wait
# The harness splits its command at spaces, which Program Files has.
ln -s "$installed" "$WINEPREFIX/installed"
DALVERY_COMMAND="wine $WINEPREFIX/installed/dalvery.exe" "$e2e" --gtest_filter='StartUp.*' ||
    fail "the installed program did not start and draw"
wineserver --wait

# The uninstaller runs on from a copy of itself in the temporary folder.
wine "$installed/Uninstall.exe" /S
wineserver --wait
[ ! -e "$installed" ] || fail "left in Program Files: $(find "$installed")"
[ ! -e "$menu" ] || fail "left in the Start menu: $(find "$menu")"
[ -z "$(registryMentions)" ] || fail "registry entries left: $(grep -i dalvery "$WINEPREFIX"/*.reg)"
echo "uninstalled: no file, no shortcut, no registry entry"
