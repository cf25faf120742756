#!/bin/sh
# Builds the Debian package of a build tree with cpack and checks its name,
# its fields, that dpkg-shlibdeps computed its Depends from the program, and
# that it holds exactly what an install into /usr writes.
# Usage: debian-package.sh BUILD_DIR
set -eu
build=$1
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$out" >/dev/null
set -- "$out"/*.deb
[ $# -eq 1 ] || fail "cpack made $# packages"
deb=$1
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = dalvery ] || fail "package name '$(field Package)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "architecture '$(field Architecture)'"
[ "${deb##*/}" = "dalvery_$(field Version)_$(field Architecture).deb" ] || fail "file name ${deb##*/}"
[ "$(field Section)" = graphics ] || fail "section '$(field Section)'"
[ -n "$(field Maintainer)" ] && [ -n "$(field Description)" ] || fail "no maintainer or description"

# Each library the program loads, as dpkg-shlibdeps names it: with the least
# version the program's symbols need, which a hand-written line would lack.
depends=$(field Depends)
for library in libc6 libstdc++6 libfltk1.3 libfltk-gl1.3 'libglu1-mesa | libglu1'; do
    case ", $depends," in
        *", $library ("*|*", $library,"*) ;;
        *) fail "Depends lacks $library: $depends" ;;
    esac
done
case "$depends" in
    *"libc6 (>= "*) ;;
    *) fail "Depends was not computed: $depends" ;;
esac
case ", $depends," in
    *", libgl1"[\ ,]*|*", libopengl0"[\ ,]*) ;;
    *) fail "Depends names no OpenGL library: $depends" ;;
esac

DESTDIR=$out/installed cmake --install "$build" --prefix /usr >/dev/null
installed=$(cd "$out/installed" && find . -type f | sort)
packed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sort)
[ -n "$packed" ] && [ "$packed" = "$installed" ] || fail "the package holds
$packed
where an install into /usr writes
$installed"
echo "${deb##*/}: Depends: $depends"
