#!/bin/sh
# Installs a build into a scratch DESTDIR, as `make install` does, and checks
# what a desktop needs of it: the program; a valid entry naming the program
# and the icon; every icon a PNG of the size its hicolor folder says; valid
# AppStream metadata that launches the entry; the licence; and, started on a
# display of its own, a window whose X class is the entry's StartupWMClass.
# Usage: installed-files.sh BUILD_DIR ICON_SOURCE_DIR
set -eu
build=$1 icons=$2
root=$(mktemp -d)
xvfb=
trap '[ -z "$xvfb" ] || kill $xvfb; rm -rf "$root"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
usr=$root/usr
set -- "$usr"/share/applications/*.desktop
[ $# -eq 1 ] || fail "$# desktop entries: $*"
entry=$1
key() { sed -n "s/^$1=//p" "$entry"; }

[ -x "$usr/bin/dalvery" ] || fail "no program in bin/"
complaints=$(desktop-file-validate "$entry" 2>&1) && [ -z "$complaints" ] || fail "entry: $complaints"
[ "$(key Exec)" = dalvery ] || fail "Exec is '$(key Exec)', not the program"

count=0
for png in "$usr"/share/icons/hicolor/*/apps/"$(key Icon)".png; do
    folder=${png%/apps/*}
    # A PNG starts with \211PNG; its width and height are 32-bit
    # big-endian numbers at bytes 16 and 20.
    size=$(od -An -tu1 -N24 "$png" | tr -s ' \n' '  ' | awk '
        $2 == 80 && $3 == 78 && $4 == 71 {
            printf "%dx%d", (($17*256+$18)*256+$19)*256+$20, (($21*256+$22)*256+$23)*256+$24 }')
    [ "$size" = "${folder##*/}" ] || fail "$png is '$size', not a PNG of its folder's size"
    count=$((count + 1))
done
[ "$count" -eq "$(ls "$icons"/dalvery-*.png | wc -l)" ] || fail "$count icons installed"

# Software centres find the program through its metadata's launchable.
set -- "$usr"/share/metainfo/*.metainfo.xml
[ $# -eq 1 ] || fail "$# metadata files: $*"
metainfo=$1
# It names no home page, as the project has none yet: AppStream 1.0 on
# warns of that, which the check lowers to a note; Debian 12's 0.16 knows no
# such warning, and refuses to lower one it does not know.
override=
appstreamcli --version | grep -q 'version: 0\.' || override=--override=url-homepage-missing=info
appstreamcli validate --pedantic --no-net $override "$metainfo" || fail "appstreamcli validate $metainfo"
grep -q "<launchable type=\"desktop-id\">${entry##*/}</launchable>" "$metainfo" || fail "no launchable names ${entry##*/}"

grep -q '^License: Expat$' "$usr/share/doc/dalvery/copyright" || fail "no Expat licence in the copyright file"

class=$(key StartupWMClass)
# Docks match the window's class (its app id on Wayland) to the entry's name.
[ "$class.desktop" = "${entry##*/}" ] || fail "StartupWMClass is '$class', the entry ${entry##*/}"
# The harness's virtual screen, which the build's configure wrote. -noreset:
# else the server resets when a polling xprop leaves, and the program,
# connecting meanwhile, fails with "Can't open display".
Xvfb -displayfd 3 -nolisten tcp -noreset -screen 0 "$(cat "$build/virtual-screen")x24" 3>"$root/display" 2>/dev/null &
xvfb=$!
for _ in $(seq 100); do [ -s "$root/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$root/display")
"$usr/bin/dalvery" >/dev/null &
program=$!
got=
for _ in $(seq 300); do
    got=$(xprop -name Dalvery WM_CLASS 2>/dev/null) && break
    sleep 0.1
done
kill $program 2>/dev/null || :
# FLTK capitalises the class half; docks match the instance half first.
case $got in "WM_CLASS(STRING) = \"$class\", "*) ;; *) fail "the window's class reads '$got'" ;; esac
echo "installed: program, entry, $count icons, metadata, licence; window class $class"
