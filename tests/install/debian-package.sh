#!/bin/sh
# Builds the Debian package as `make package` does, into BUILD_DIR, without
# the tour's and the tests' packages in reach, and checks it: its name and
# fields; that dpkg-shlibdeps computed its Depends from the program; that it
# holds exactly what an install into /usr writes, the manual page, the
# changelog of this version and the AppStream metadata among it; that lintian
# finds nothing to say; and that its program is hardened.
# Usage: debian-package.sh SOURCE_DIR BUILD_DIR
set -eu
source=$1 build=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# A find_package of theirs that the program-only build reaches fails.
rm -f "$build"/*.deb
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -C "$source" package RELEASE_DIR="$build" \
    RELEASE_OPTIONS="-DCMAKE_DISABLE_FIND_PACKAGE_X11=ON -DCMAKE_DISABLE_FIND_PACKAGE_PNG=ON \
        -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
        -DCMAKE_DISABLE_FIND_PACKAGE_nlohmann_json=ON" \
    >"$out/make.log" 2>&1 || { tail -n 30 "$out/make.log"; fail "make package"; }
set -- "$build"/*.deb
[ $# -eq 1 ] || fail "make package made $# packages"
deb=$1
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = dalvery ] && [ "$(field Section)" = graphics ] || fail "$(field Package) in $(field Section)"
[ "${deb##*/}" = "dalvery_$(field Version)_$(field Architecture).deb" ] || fail "file name ${deb##*/}"

# Each library the program loads, as dpkg-shlibdeps names it for the FLTK
# it was built with (Debian 13 adds t64 to the names of libraries rebuilt
# with a 64-bit time_t); libc6 with the least version the program's symbols
# need, which a hand-written line lacks.
fltk=$(fltk-config --version | cut -d. -f1,2 | sed 's/\./\\./')
depends=$(field Depends)
for library in 'libc6 \(>= .*\)' 'libstdc\+\+6( .*)?' "libfltk$fltk(t64)?( .*)?" "libfltk-gl$fltk(t64)?( .*)?" \
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
for doc in man/man1/dalvery.1.gz doc/dalvery/changelog.gz metainfo/org.dalvery.dalvery.metainfo.xml; do
    echo "$packed" | grep -qx "./usr/share/$doc" || fail "the package lacks /usr/share/$doc"
done
dpkg-deb -x "$deb" "$out/unpacked"
zcat "$out/unpacked/usr/share/doc/dalvery/changelog.gz" | head -n 1 | grep -q "^dalvery ($(field Version)) " ||
    fail "the changelog does not start with this version's entry"

lintian --pedantic -I --fail-on error,warning,info "$deb" || fail "lintian (above)"

# Hardened by every flag this release's dpkg-buildflags gives. Debian 13
# asks for control-flow protection, but its C start files lack the IBT and
# SHSTK marks, so the linker marks no program, Debian's own neither: there,
# the program's own code must begin its functions with endbr64 instead.
flags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)
skip=
case $flags in
*-fcf-protection*)
    if ! readelf -n "$(c++ -print-file-name=Scrt1.o)" | grep -q 'x86 feature: IBT, SHSTK'; then
        objdump -d --disassemble=main "$build/dalvery" | grep -q endbr64 || fail "main has no endbr64"
        skip=--nocfprotection
    fi ;;
*) skip=--nocfprotection ;;
esac
case $flags in
*-mbranch-protection*) ;;
*) hardening-check --help | grep -q -- --nobranchprotection && skip="$skip --nobranchprotection" ;;
esac
hardening-check $skip "$out/unpacked/usr/bin/dalvery" || fail "hardening-check $skip"
echo "${deb##*/}: Depends: $depends"
