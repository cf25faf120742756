#!/bin/sh
# debian13.sh [--package-only]
# The README's commands on a fresh, minimal Debian 13 (trixie), as root: a
# clone of this checkout's commit in /root passes `make test`, and `make run`
# without a display shows the tour; the package
# that `make package` builds installs on another fresh Debian 13 with its
# libraries, starts with the window class its desktop entry names, and is
# removed cleanly.
# The clone then cross-builds the Windows program from FLTK's release
# tarball (`make windows`) and tests it under Wine (`make test-windows`).
# --package-only skips `make test`, `make run` and the Windows build. Both
# systems, and their mounts, are removed at the end, whatever happened.
#
# Environment: DEBIAN_MIRROR (default: this machine's Debian archive);
# FLTK_SOURCE (default: ../shared/fltk/fltk-1.4.5.tar.gz beside the checkout).

# Where `make package` leaves the package, in the clone.
PACKAGE='build-release/dalvery_*.deb'
SUITE=trixie
CLONE=/root/dalvery

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
stages=10
$packageOnly && stages=6
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

makePackage() {
    inSystem "$build" "cd $CLONE && make package && ls -l $PACKAGE" || return 1
    set -- "$build$CLONE"/$PACKAGE
    [ $# -eq 1 ] && [ -f "$1" ] || { echo "not one package at $PACKAGE: $*"; return 1; }
    cp "$1" "$fresh/root/"
}

# On the fresh system: apt-get installs the package with its libraries, the
# installed program starts on a virtual display with the window class that
# its desktop entry's file name gives, and apt-get removes it.
installPackage() {
    inSystem "$fresh" "apt-get update -q >/dev/null
        cd /root && apt-get install -y -q ./dalvery_*.deb
        if ldd /usr/bin/dalvery | grep 'not found'; then exit 1; fi
        apt-get install -y -q xvfb x11-utils >/dev/null" || return 1
    inSystem --offline "$fresh" '
        Xvfb :1 -screen 0 1280x1024x24 -nolisten tcp -noreset >/tmp/xvfb.log 2>&1 &
        xvfb=$!
        export DISPLAY=:1
        for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.2; done
        /usr/bin/dalvery >/tmp/dalvery.log 2>&1 &
        dalvery=$!
        class=""
        for i in $(seq 100); do
            class=$(xprop -name Dalvery WM_CLASS 2>/dev/null) && break
            sleep 0.3
        done
        kill $dalvery $xvfb 2>/dev/null || true
        echo "${class:-no window titled Dalvery}"
        entry=$(basename /usr/share/applications/*.desktop .desktop)
        case $class in *"= \"$entry\", "*) ;; *) cat /tmp/dalvery.log; exit 1 ;; esac' || return 1
    inSystem "$fresh" "apt-get remove -y -q dalvery
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
stage "make package" makePackage
stage "the package installed, started and removed" installPackage
verdict PASSED
