#!/bin/sh
# Builds the source and binary packages as `make package` does, into
# BUILD_DIR/package, and checks them: the binary's name and fields; that
# dpkg-shlibdeps computed its Depends from the program; that it holds
# exactly what an install into /usr writes, with the manual page and the
# changelog compressed, and its lintian overrides; that the manual page and the AppStream release bear
# the version and the day of the changelog's newest entry, and every member
# of the archive its time; that the source holds the files git tracks; that
# lintian finds nothing to say of either; that the program is hardened,
# compiled with the optimisation dpkg-buildflags gives alone, and queries no
# GL state (the Debug build's frame check is not in it).
# Usage: debian-package.sh SOURCE_DIR BUILD_DIR
set -eu
source=$1 build=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL make -C "$source" package RELEASE_DIR="$build" \
    >"$out/make.log" 2>&1 || { tail -n 30 "$out/make.log"; fail "make package"; }
packages=$build/package
set -- "$packages"/dalvery_*.deb
[ $# -eq 1 ] || fail "make package made $# packages"
deb=$1
field() { dpkg-deb -f "$deb" "$1"; }

[ "$(field Package)" = dalvery ] && [ "$(field Section)" = graphics ] || fail "$(field Package) in $(field Section)"
[ "${deb##*/}" = "dalvery_$(field Version)_$(field Architecture).deb" ] || fail "file name ${deb##*/}"
changes=$packages/dalvery_$(field Version)_$(field Architecture).changes
tarball=$packages/dalvery_$(field Version).tar.xz
for f in "$changes" "$tarball" "$packages/dalvery_$(field Version).dsc"; do
    [ -f "$f" ] || fail "make package made no ${f##*/}"
done

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

# The package's build tree, which dpkg-buildpackage leaves in place.
set -- "$packages"/dalvery-*/obj-*
[ $# -eq 1 ] && [ -d "$1" ] || fail "no one build tree: $*"
tree=$1
DESTDIR=$out/installed cmake --install "$tree" --prefix /usr >/dev/null
# The package adds its lintian overrides (debian/dalvery.lintian-overrides).
installed=$({ cd "$out/installed" && find . -type f && echo ./usr/share/lintian/overrides/dalvery; } |
    sed -E 's,/(man1/dalvery\.1|doc/dalvery/changelog)$,/\1.gz,' | sort)
packed=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $NF }' | sort)
[ -n "$packed" ] && [ "$packed" = "$installed" ] || fail "the package holds
$packed
where an install into /usr writes (compressed as the package's)
$installed"
dpkg-deb -x "$deb" "$out/unpacked"
usr=$out/unpacked/usr/share
zcat "$usr/doc/dalvery/changelog.gz" | head -n 1 | grep -q "^dalvery ($(field Version)) " ||
    fail "the changelog does not start with this version's entry"

# The version and the day of the newest entry, read as dpkg reads it.
changelog=$source/debian/changelog
day=$(date -u -d "$(dpkg-parsechangelog -l "$changelog" -S Date)" +%F)
release=$(sed -n 's/.*<release version="\([^"]*\)" date="\([^"]*\)".*/\1 \2/p' "$usr"/metainfo/*.metainfo.xml)
[ "$release" = "$(field Version) $day" ] || fail "the AppStream release is '$release', not '$(field Version) $day'"
title=$(zcat "$usr/man/man1/dalvery.1.gz" | head -n 1)
[ "$title" = ".TH DALVERY 1 $day \"Dalvery $(field Version)\" \"User Commands\"" ] ||
    fail "the manual page's title line is '$title', not of $day and $(field Version)"
# Each member of the archive carries the entry's time, not the build's.
times=$(dpkg-deb --fsys-tarfile "$deb" | tar -tv --full-time | awk '{ print $4 " " $5 }' | sort -u)
[ "$times" = "$(date -u -d "@$(dpkg-parsechangelog -l "$changelog" -S Timestamp)" '+%F %T')" ] ||
    fail "the archive's members carry the times $times"

# The source package: the files git tracks, less git's own (dpkg-source
# leaves them out), in a folder named for the version.
tracked=$(git -C "$source" ls-files | grep -Ev '(^|/)\.git' | sed "s,^,dalvery-$(field Version)/," | sort)
[ "$(tar -tJf "$tarball" | grep -v '/$' | sort)" = "$tracked" ] || fail "${tarball##*/} is not the tracked files"

"$(dirname "$0")/lintian.sh" "$source" "$changes" || fail "lintian (above)"

# Hardened by every flag this release's dpkg-buildflags gives. Debian 13
# asks for control-flow protection, but its C start files lack the IBT and
# SHSTK marks, so the linker marks no program, Debian's own neither: there,
# the program's own code must begin its functions with endbr64 instead.
flags=$(DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get CXXFLAGS)
skip=
case $flags in
*-fcf-protection*)
    if ! readelf -n "$(c++ -print-file-name=Scrt1.o)" | grep -q 'x86 feature: IBT, SHSTK'; then
        objdump -d --disassemble=main "$tree/dalvery" | grep -q endbr64 || fail "main has no endbr64"
        skip=--nocfprotection
    fi ;;
*) skip=--nocfprotection ;;
esac
case $flags in
*-mbranch-protection*) ;;
*) hardening-check --help | grep -q -- --nobranchprotection && skip="$skip --nobranchprotection" ;;
esac
hardening-check $skip "$out/unpacked/usr/bin/dalvery" || fail "hardening-check $skip"

# Every compile takes the one -O of dpkg-buildflags (noopt's -O0 too), with
# none that a CMake build type puts after it (Release's -O3).
optimise=$(echo "$flags" | tr ' ' '\n' | grep -- '^-O')
bad=$(grep -E ' -c [^ ]+\.cpp$' "$out/make.log" | awk -v want="$optimise" '
    { n = 0; for (i = 1; i <= NF; i++) if ($i ~ /^-O/) { n++; got = $i } }
    n != 1 || got != want { print } END { exit !NR }') || fail "no compile line in the build's log"
[ -z "$bad" ] || fail "compiled without $optimise alone: $bad"
# The frame check reads the matrix stack and the error state every frame.
queries=$(nm -D --undefined-only "$out/unpacked/usr/bin/dalvery" | awk '$2 ~ /^glGet/ { printf " %s", $2 }')
[ -z "$queries" ] || fail "the program queries GL state:$queries"
echo "${deb##*/}: Depends: $depends"
