#!/bin/sh
# debian13.sh [--package-only]
# The README's commands on a fresh, minimal Debian 13 (trixie), as root: a
# clone of this checkout's commit in /root passes `make test`, and `make run`
# without a display shows the tour. `make package` from another clone, in
# another folder, with another umask and locale, makes the same files, byte
# for byte, as the one `make test` ran. Debian's builders' sbuild builds the
# source package in fresh, minimal chroots (tests/sbuild.sh): Debian 13's,
# with the tests and without, the latter the same binary package byte for
# byte, and Debian 12's with the tests. On another fresh Debian 13 the
# package's autopkgtest passes on the package installed, which is then
# removed cleanly. Last, tests/arm.sh builds and tests the arm64 and armhf
# packages.
# The first clone also cross-builds the Windows program from FLTK's
# release tarball (`make windows`) and tests it under Wine (`make
# test-windows`). --package-only skips `make test`, `make run` and the
# Windows build. The systems, and their mounts, are removed at the end,
# whatever happened.
#
# Environment: DEBIAN_MIRROR (default: this machine's Debian archive);
# FLTK_SOURCE (default: ../shared/fltk/fltk-1.4.5.tar.gz beside the checkout).

# Where `make package` leaves the packages, in a clone, and where make
# test's package test has it build them.
PACKAGES=build-release/package
TESTED_PACKAGES=build/tests/install/release/package
SUITE=trixie
CLONE=/root/dalvery
# The second clone: another folder, umask and locale.
OTHER_CLONE=/srv/elsewhere/dalvery
# What must be the same in every build: the binary package and the source.
BINARY='dalvery_*.deb'
SOURCE='dalvery_*.dsc dalvery_*.tar.xz'

set -u
fail() { echo "debian13: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "must run as root (debootstrap, chroot, mount)"
command -v debootstrap >/dev/null || fail "needs debootstrap: apt-get install debootstrap"
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel) || fail "not in a git checkout"
packageOnly=false
[ "${1-}" = --package-only ] && packageOnly=true
fltkSource=${FLTK_SOURCE:-$repo/../shared/fltk/fltk-1.4.5.tar.gz}
$packageOnly || [ -f "$fltkSource" ] || fail "no FLTK release tarball at $fltkSource; set FLTK_SOURCE"

mirror=${DEBIAN_MIRROR:-$(awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }' \
    /etc/apt/sources.list.d/debian.sources 2>/dev/null)}
[ -n "$mirror" ] || fail "no Debian archive in /etc/apt/sources.list.d/debian.sources; set DEBIAN_MIRROR"

work=$(mktemp -d /var/tmp/dalvery-debian13.XXXXXX) || exit 1
# The commit under test, taken once: commits made while this runs are not.
bundle=$work/dalvery.bundle
git -C "$repo" bundle create -q "$bundle" HEAD || { rm -rf "$work"; exit 1; }
commit=$(git -C "$repo" bundle list-heads "$bundle" | awk '$2 == "HEAD" { print $1 }')
build=$work/build # where the clone is tested and packaged
fresh=$work/fresh # where the package is installed
packages=$work/packages # the first build's files, on this side
mounts=""

# Ends what runs inside the two systems, unmounts and removes them.
cleanup() {
    status=$?
    trap - EXIT INT TERM
    for p in /proc/[0-9]*; do
        case $(readlink "$p/root" 2>/dev/null) in
        "$build" | "$fresh") kill -9 "${p#/proc/}" 2>/dev/null ;;
        esac
    done
    kept=""
    for m in $mounts; do # most recent first
        umount "$m" 2>/dev/null || umount -l "$m" || kept="$kept $m"
    done
    if [ -z "$kept" ]; then
        rm -rf --one-file-system "$work"
    else
        echo "debian13: could not unmount$kept; $work is left in place" >&2
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'echo "debian13: interrupted" >&2; exit 130' INT TERM

# Binds what apt, make and Xvfb need of the running system into a tree.
mountSystem() {
    for d in proc sys dev dev/pts; do
        mount --bind "/$d" "$1/$d" || return 1
        mounts="$1/$d $mounts"
    done
}

# In a tree, as a fresh root login would: run a shell command line.
# --offline runs it without network: its own X displays cannot clash with
# those of this machine, which share the abstract socket namespace.
inSystem() {
    net=""
    [ "$1" = --offline ] && net="unshare --net" && shift
    tree=$1
    shift
    $net chroot "$tree" env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive sh -e -c "$*"
}

# Runs a command quietly, showing its log only when it fails.
quietly() {
    log=$work/stage.log
    "$@" >"$log" 2>&1 && return 0
    tail -n 40 "$log"
    return 1
}

summary=""
started=$(date +%s)
stageNumber=0
stages=13
$packageOnly && stages=9
stage() {
    name=$1
    shift
    stageNumber=$((stageNumber + 1))
    echo
    echo "=== [$stageNumber/$stages] $name"
    t0=$(date +%s)
    "$@"
    status=$?
    seconds=$(($(date +%s) - t0))
    if [ "$status" -eq 0 ]; then
        summary="$summary$(printf '  %-44s %5s s  ok' "$name" "$seconds")\n"
        echo "--- $name: ok, $seconds s"
        return 0
    fi
    summary="$summary$(printf '  %-44s %5s s  FAILED' "$name" "$seconds")\n"
    echo "--- $name: FAILED after $seconds s"
    verdict "FAILED at \"$name\""
    exit 1
}
verdict() {
    echo
    echo "=== Summary (Debian 13, commit $(echo "$commit" | cut -c1-12))"
    printf '%b' "$summary"
    echo "debian13: $1, $(($(date +%s) - started)) s in all"
}

bootstrap() {
    echo "debootstrap --variant=minbase $SUITE $build $mirror"
    quietly debootstrap --variant=minbase "$SUITE" "$build" "$mirror" || return 1
    # The package goes onto a system that has none of the build's packages.
    cp -a "$build" "$fresh" && mountSystem "$build" && mountSystem "$fresh"
}

bareMachine() {
    echo "apt-get install git make"
    quietly inSystem "$build" "apt-get update -q && apt-get install -y -q git make"
}

clone() {
    cp "$bundle" "$build/tmp/dalvery.bundle" &&
        inSystem "$build" "git -c advice.detachedHead=false clone -q /tmp/dalvery.bundle $CLONE
            test \"\$(git -C $CLONE rev-parse HEAD)\" = $commit
            ls -ld /root $CLONE" &&
        echo "commit $commit cloned into $CLONE"
}

# The packages `make test` installs first, timed apart.
buildPackages() {
    quietly inSystem "$build" "cd $CLONE && make test-deps"
}

makeTest() {
    inSystem --offline "$build" "cd $CLONE && make test"
}

# No display in the system: the program is built optimised and the tour runs.
makeRun() {
    inSystem --offline "$build" "cd $CLONE
        make run >/tmp/run.log 2>&1 || { tail -n 40 /tmp/run.log; exit 1; }
        tail -n 3 /tmp/run.log
        test \$(ls build-release/tour-pictures/*.png | wc -l) -ge 17"
}

# The packages of the Windows build and its tests (the cross compiler,
# NSIS, Wine), timed apart; then the build from FLTK's tarball, copied in,
# and its tests under Wine.
windowsPackages() {
    quietly inSystem "$build" "cd $CLONE && make test-windows-deps"
}

makeTestWindows() {
    cp "$fltkSource" "$build/root/" &&
        inSystem --offline "$build" "cd $CLONE && make test-windows FLTK_SOURCE=/root/${fltkSource##*/}"
}

# Says whether the files $4 in folder $3 of tree $1 are those in its folder
# $2, by their SHA-256; where they are not, diffoscope says how they differ.
sameFiles() {
    (cd "$1$2" && sha256sum $4) >"$work/first.sha256" || return 1
    if (cd "$1$3" && sha256sum -c --strict "$work/first.sha256"); then
        cat "$work/first.sha256"
        return 0
    fi
    inSystem "$1" "apt-get install -y -q --no-install-recommends diffoscope-minimal >/dev/null
        for f in $4; do cd $2 && f=\$(ls \$f) && cd / && diffoscope $2/\$f $3/\$f | head -n 80; done"
    return 1
}

# make package from a second clone: another folder, umask and locale, and
# minutes later. Its files must be the package test's, whose are kept here.
makePackage() {
    $packageOnly && { quietly inSystem --offline "$build" "cd $CLONE && make package RELEASE_DIR=${TESTED_PACKAGES%/package}" || return 1; }
    inSystem "$build" "umask 002 && mkdir -p ${OTHER_CLONE%/*}
        git -c advice.detachedHead=false -c init.defaultBranch=main clone -q /tmp/dalvery.bundle $OTHER_CLONE" || return 1
    echo "umask 002, LC_ALL=C: make package in $OTHER_CLONE"
    quietly inSystem --offline "$build" "umask 002 && export LC_ALL=C && cd $OTHER_CLONE && make package" || return 1
    mkdir -p "$packages" && cp "$build$CLONE/$TESTED_PACKAGES"/dalvery_* "$packages/" &&
        sameFiles "$build" "$CLONE/$TESTED_PACKAGES" "$OTHER_CLONE/$PACKAGES" "$BINARY $SOURCE"
}

# From the source package alone, as Debian's builders build it: Debian 13's
# build without the tests must make the first build's binary package.
sbuildTrixie() {
    "$repo/tests/sbuild.sh" trixie "check nocheck" "$work/sbuild-trixie" "$packages"/dalvery_*.dsc || return 1
    (cd "$packages" && sha256sum $BINARY) >"$work/first.sha256" &&
        (cd "$work/sbuild-trixie/nocheck" && sha256sum -c --strict "$work/first.sha256") && return 0
    command -v diffoscope >/dev/null && diffoscope "$packages"/$BINARY "$work/sbuild-trixie/nocheck"/$BINARY | head -n 80
    return 1
}

sbuildBookworm() {
    "$repo/tests/sbuild.sh" bookworm check "$work/sbuild-bookworm" "$packages"/dalvery_*.dsc
}

# On the fresh system, the package's autopkgtest: apt-get installs the
# package with its libraries, the test's dependencies, and dpkg-dev, which
# autopkgtest needs to read a source tree; then the test runs off the
# network, so that its X display cannot clash with this machine's (they
# share the abstract socket namespace). Then apt-get removes the package.
autopkgtestPackage() {
    cp "$packages"/dalvery_*.deb "$fresh/root/" && tar -xJf "$packages"/dalvery_*.tar.xz -C "$fresh/root" || return 1
    quietly inSystem "$fresh" "apt-get update -q && cd /root
        apt-get install -y -q --no-install-recommends autopkgtest dpkg-dev ./dalvery_*.deb
        apt-get satisfy -y -q \"\$(sed -n 's/^Depends: //p' dalvery-*/debian/tests/control)\"
        if ldd /usr/bin/dalvery | grep 'not found'; then exit 1; fi" || return 1
    inSystem --offline "$fresh" "cd /root && status=0
        autopkgtest ./dalvery_*.deb dalvery-*/ -- null >/tmp/autopkgtest.log 2>&1 || status=\$?
        sed -n '/test window: \\[/,/test window: -*\\]/p' /tmp/autopkgtest.log | sed '1d;\$d'
        grep '^window ' /tmp/autopkgtest.log | tail -n 1 || :
        [ \$status -eq 0 ] || { tail -n 40 /tmp/autopkgtest.log; exit 1; }" || return 1
    inSystem "$fresh" "apt-get remove -y -q dalvery >/dev/null
        test ! -e /usr/bin/dalvery && echo '/usr/bin/dalvery is gone'"
}

echo "Dalvery on a fresh Debian 13: commit $commit of $repo, in $work"
[ -z "$(git -C "$repo" status --porcelain --untracked-files=no)" ] ||
    echo "(changes not committed in the checkout are not tested)"
stage "debootstrap, minimal $SUITE" bootstrap
stage "the bare machine's line: git and make" bareMachine
stage "git clone into /root" clone
stage "make test-deps: the Debian packages of make test" buildPackages
$packageOnly || stage "make test" makeTest
$packageOnly || stage "make run, the tour without a display" makeRun
$packageOnly || stage "make test-windows-deps: mingw-w64, NSIS, Wine" windowsPackages
$packageOnly || stage "make test-windows: the Windows build under Wine" makeTestWindows
stage "make package again, byte for byte" makePackage
stage "sbuild, Debian 13: tests on, and nocheck byte for byte" sbuildTrixie
stage "sbuild, Debian 12 (--resolve-alternatives): tests on" sbuildBookworm
stage "autopkgtest of the installed package" autopkgtestPackage
stage "arm64 and armhf: tests/arm.sh" "$repo/tests/arm.sh"
verdict PASSED
