#!/bin/sh
# arm.sh: Dalvery for arm64 and armhf, on a fresh Debian 13 (trixie) made
# here, as root. make package ARCH=arm64 twice, from two clones of this
# checkout's commit, must make the same .deb byte for byte; the arm64
# package's own build runs its tests under qemu-user; the end-to-end
# scenarios of an amd64 test build drive the arm64 program, installed with
# multiarch, under qemu-user; and make package ARCH=armhf. lintian judges
# both packages. The system is removed at the end, whatever happened.
#
# qemu runs the arm programs that the tests start through binfmt_misc,
# registered in a user namespace of the test's own: this machine's
# binfmt_misc is left alone. That needs Linux 6.7 or later.
#
# Environment: DEBIAN_MIRROR (default: this machine's Debian archive).

SUITE=trixie
CLONE=/root/dalvery
OTHER_CLONE=/srv/elsewhere/dalvery
PACKAGES=build-release/package
# The end-to-end scenarios run against the arm64 program.
SCENARIOS='StartUp.*:MachineList.*:Sliders.*:Cameras.*:Rocks.*:Closing.*:Tour.AnotherBuildShowsTheViewsOfThisOne'

set -u
fail() { echo "arm: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "must run as root (mmdebstrap, chroot, mount)"
command -v mmdebstrap >/dev/null || fail "needs mmdebstrap: apt-get install mmdebstrap"
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel) || fail "not in a git checkout"
mirror=${DEBIAN_MIRROR:-$(awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }' \
    /etc/apt/sources.list.d/debian.sources 2>/dev/null)}
[ -n "$mirror" ] || fail "no Debian archive in /etc/apt/sources.list.d/debian.sources; set DEBIAN_MIRROR"

work=$(mktemp -d /var/tmp/dalvery-arm.XXXXXX) || exit 1
tree=$work/tree
bundle=$work/dalvery.bundle
git -C "$repo" bundle create -q "$bundle" HEAD || { rm -rf "$work"; exit 1; }
commit=$(git -C "$repo" bundle list-heads "$bundle" | awk '$2 == "HEAD" { print $1 }')
mounts=""

cleanup() {
    status=$?
    trap - EXIT INT TERM
    for p in /proc/[0-9]*; do
        [ "$(readlink "$p/root" 2>/dev/null)" = "$tree" ] && kill -9 "${p#/proc/}" 2>/dev/null
    done
    kept=""
    for m in $mounts; do # most recent first
        umount "$m" 2>/dev/null || umount -l "$m" || kept="$kept $m"
    done
    if [ -z "$kept" ]; then
        rm -rf --one-file-system "$work"
    else
        echo "arm: could not unmount$kept; $work is left in place" >&2
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'echo "arm: interrupted" >&2; exit 130' INT TERM

# In the tree, as a fresh root login would: a shell command line. --offline:
# in a network namespace of its own, where its X displays cannot clash with
# this machine's (they share the abstract socket namespace). --qemu: in a
# user namespace whose own binfmt_misc starts arm64 and armhf programs
# under qemu-user (namespaces first: a chroot cannot make a user namespace).
inSystem() {
    enter="chroot $tree"
    case $1 in
    --offline) enter="unshare --net chroot $tree" && shift ;;
    --qemu) enter="unshare --user --map-root-user --mount --net --root=$tree" && shift ;;
    esac
    $enter env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
        PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        DEBIAN_FRONTEND=noninteractive sh -e -c "$*"
}

# Runs a command quietly, showing its log's end only when it fails.
quietly() {
    "$@" >"$work/stage.log" 2>&1 && return 0
    tail -n 40 "$work/stage.log"
    return 1
}

# Each step runs, whatever the earlier ones gave: one failing says nothing of
# the others (a step that needs an earlier one's package fails at once).
summary=""
failed=""
started=$(date +%s)
stage() {
    name=$1
    shift
    echo
    echo "=== $name"
    t0=$(date +%s)
    "$@"
    status=$?
    seconds=$(($(date +%s) - t0))
    result=ok
    [ "$status" -eq 0 ] || result=FAILED
    summary="$summary$(printf '  %-52s %5s s  %s' "$name" "$seconds" "$result")\n"
    echo "--- $name: $result, $seconds s"
    [ "$status" -eq 0 ] || failed="$failed \"$name\""
    return "$status"
}
verdict() {
    echo
    echo "=== Summary (arm64 and armhf on Debian 13, commit $(echo "$commit" | cut -c1-12))"
    printf '%b' "$summary"
    echo "arm: $1, $(($(date +%s) - started)) s in all"
}

bootstrap() {
    echo "mmdebstrap --variant=apt --include=git,make,mount,lintian,qemu-user $SUITE $mirror"
    quietly mmdebstrap --variant=apt --include=git,make,mount,lintian,qemu-user "$SUITE" "$tree" "$mirror" || return 1
    for d in proc sys dev dev/pts; do
        mount --bind "/$d" "$tree/$d" || return 1
        mounts="$tree/$d $mounts"
    done
    cp "$bundle" "$tree/tmp/dalvery.bundle" &&
        inSystem "apt-get update -q >/dev/null
            for c in $CLONE $OTHER_CLONE; do
                git -c advice.detachedHead=false -c init.defaultBranch=main clone -q /tmp/dalvery.bundle \$c
            done
            test \"\$(git -C $OTHER_CLONE rev-parse HEAD)\" = $commit"
}

# The first build installs the cross compiler and arm64's libraries.
packageArm64() {
    quietly inSystem "cd $CLONE && make package ARCH=arm64" || return 1
    ls "$tree$CLONE/$PACKAGES"/dalvery_*_arm64.*
}

# The second, in another folder with another umask and locale, off the
# network: its package is the first's, byte for byte. lintian judges it.
packageArm64Again() {
    quietly inSystem --offline "umask 002 && export LC_ALL=C && cd $OTHER_CLONE && make package ARCH=arm64" || return 1
    inSystem "cd / && sha256sum $CLONE/$PACKAGES/dalvery_*_arm64.deb $OTHER_CLONE/$PACKAGES/dalvery_*_arm64.deb
        cmp $CLONE/$PACKAGES/dalvery_*_arm64.deb $OTHER_CLONE/$PACKAGES/dalvery_*_arm64.deb
        lintian --pedantic -I $CLONE/$PACKAGES/dalvery_*_arm64.changes && echo 'lintian: nothing to say'"
}

# The package's build with its tests on (debian/rules says which), a copy
# of the first build's tree: the cross build profile alone, whose build
# dependencies include the native tools that the tests run.
testPackageArm64() {
    quietly inSystem "apt-get build-dep -y -q -a arm64 -Pcross $CLONE" || return 1
    inSystem --qemu "mount -t binfmt_misc binfmt_misc /mnt
        cat /usr/share/qemu/binfmt.d/qemu-aarch64.conf >/mnt/register
        rm -rf /srv/tested && mkdir /srv/tested && cp -a $CLONE/$PACKAGES/dalvery-* /srv/tested/
        cd /srv/tested/dalvery-*
        dpkg-buildpackage -us -uc -b -a arm64 -Pcross >/tmp/arm64-tests.log 2>&1 || status=\$?
        sed -n '/% tests passed/,\$p' /tmp/arm64-tests.log | head -n 40
        [ \${status:-0} -eq 0 ] && exit 0
        echo 'What the failed tests said:'
        grep -A 2 -E '^[0-9]+: (.*: Failure|FAIL: )' /tmp/arm64-tests.log | head -n 100
        tail -n 3 /tmp/arm64-tests.log
        exit 1"
}

# The arm64 program, installed beside amd64's libraries, started by the
# scenarios of an amd64 test build as "qemu-aarch64 -L / /usr/bin/dalvery".
scenariosArm64() {
    quietly inSystem "apt-get install -y -q $CLONE/$PACKAGES/dalvery_*_arm64.deb libgl1-mesa-dri:arm64
        cd $OTHER_CLONE && make tour-deps" || return 1
    quietly inSystem --offline "cd $OTHER_CLONE && cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug
        cmake --build build -j2 --target dalvery e2e_tests" || return 1
    inSystem --offline "cd $OTHER_CLONE
        DALVERY_COMMAND='qemu-aarch64 -L / /usr/bin/dalvery' build/tests/e2e/e2e_tests --gtest_filter='$SCENARIOS'"
}

packageArmhf() {
    quietly inSystem "cd $CLONE && make package ARCH=armhf" || return 1
    inSystem "cd $CLONE/$PACKAGES && sha256sum dalvery_*_armhf.deb
        lintian --pedantic -I dalvery_*_armhf.changes && echo 'lintian: nothing to say'"
}

echo "Dalvery for arm64 and armhf: commit $commit of $repo, in $work"
[ -z "$(git -C "$repo" status --porcelain --untracked-files=no)" ] ||
    echo "(changes not committed in the checkout are not tested)"
stage "mmdebstrap $SUITE, two clones" bootstrap || { verdict FAILED; exit 1; }
stage "make package ARCH=arm64" packageArm64
stage "make package ARCH=arm64 again, byte for byte; lintian" packageArm64Again
stage "the arm64 package's tests under qemu-user" testPackageArm64
stage "end-to-end scenarios against the arm64 program" scenariosArm64
stage "make package ARCH=armhf; lintian" packageArmhf
[ -z "$failed" ] || { verdict "FAILED at$failed"; exit 1; }
verdict PASSED
