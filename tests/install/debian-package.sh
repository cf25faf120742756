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

[ "$(field Package)" = dalvery ] && [ "$(field Section)" = graphics ] || fail "$(field Package) in $(field Section)"
[ "${deb##*/}" = "dalvery_$(field Version)_$(field Architecture).deb" ] || fail "file name ${deb##*/}"

# Each library the program loads, as dpkg-shlibdeps names it (Debian 13 adds
# t64 to the names of libraries rebuilt with a 64-bit time_t); libc6 with the
# least version the program's symbols need, which a hand-written line lacks.
depends=$(field Depends)
for library in 'libc6 \(>= .*\)' 'libstdc\+\+6( .*)?' 'libfltk1\.3(t64)?( .*)?' 'libfltk-gl1\.3(t64)?( .*)?' \
        'libglu1-mesa( .*)? \| libglu1.*' '(libgl1|libopengl0)( .*)?'; do
    echo "$depends" | sed 's/, /\n/g' | grep -Eqx "$library" || fail "Depends lacks $library: $depends"
done

DESTDIR=$out/installed cmake --install "$build" --prefix /usr >/dev/null
installed=$(cd "$out/installed" && find . -type f | sort)
packed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sort)
[ -n "$packed" ] && [ "$packed" = "$installed" ] || fail "the package holds
$packed
where an install into /usr writes
$installed"
echo "${deb##*/}: Depends: $depends"
