#!/bin/sh
# debian13.sh [STAGE...]
# The README's commands on a fresh, minimal Debian 13 (trixie), as root, and
# the packages built every way Debian builds them. The stages, in order:
#   bare             the bare machine's line: apt-get install git make
#   clone            two clones of this checkout's commit, in /root and in
#                    another folder (umask 002)
#   test-deps        make test-deps, timed apart
#   test             make test, off the network
#   run              make run without a display: the tour
#   windows-deps     make test-windows-deps
#   windows          make test-windows from FLTK's release tarball
#   package          make package from the second clone, in another folder,
#                    umask and locale: the same .deb, .dsc and .tar.xz, byte
#                    for byte, as the package test of make test
#   sbuild-trixie    sbuild (tests/sbuild.sh), Debian 13: tests on, and
#                    nocheck, which makes the first build's .deb
#   sbuild-bookworm  sbuild, Debian 12 (--resolve-alternatives): tests on
#   autopkgtest      on another fresh Debian 13: the package installed, its
#                    autopkgtest, its libraries, its removal
#   arm64            make package ARCH=arm64; lintian
#   arm64-tests      the arm64 package's build with its tests on, under
#                    qemu-user, from the second clone (umask 002, LC_ALL=C):
#                    the same .deb as the first, byte for byte
#   arm64-e2e        make test's end-to-end scenarios against the arm64
#                    program, installed with multiarch, under qemu-user
#   armhf            make package ARCH=armhf; lintian
# Given STAGEs, runs those alone (bare and clone always): each needs what
# the stages before it made that it uses. With DEBIAN_SUITE=testing, the
# system is Debian testing's (make test-debian-testing: bare, clone,
# test-deps and test).
#
# mmdebstrap makes each system in a directory of its own, mounts /proc, /sys
# and /dev into it, runs the stages as its customize hook and removes it all
# when they end, whether they pass, fail or are interrupted. The second
# system, for the autopkgtest, is made from within the first one's hook, so
# that the packages never leave the first.
#
# The end-to-end tests and the package's tests start X displays, whose
# abstract sockets a chroot shares with this machine: the stages that run
# them do so in a network namespace of their own, off the network.
#
# Environment: DEBIAN_SUITE (default: trixie); DEBIAN_MIRROR (default: this
# machine's Debian archive); FLTK_SOURCE (default:
# ../shared/fltk/fltk-1.4.5.tar.gz beside the checkout).

SUITE=${DEBIAN_SUITE:-trixie}
# Testing's Release file is valid for a week, and a mirror that lags or a
# snapshot serves one that has expired, which apt would refuse; stable's
# has no end, so this changes nothing there. mmdebstrap writes it into the
# system's apt configuration too, for make's apt-get.
VALID_UNTIL='Acquire::Check-Valid-Until "false"'
CLONE=/root/dalvery
# The second clone: another folder, umask and locale.
OTHER_CLONE=/srv/elsewhere/dalvery
# Where `make package` leaves the packages, in a clone, and where make
# test's package test has it build them.
PACKAGES=build-release/package
TESTED_PACKAGES=build/tests/install/release/package
# What must be the same in every build: the binary package and the source.
BINARY='dalvery_*.deb'
SOURCE='dalvery_*.dsc dalvery_*.tar.xz'
# The end-to-end scenarios run against the arm64 program.
SCENARIOS='StartUp.*:MachineList.*:Sliders.*:Cameras.*:Rocks.*:Closing.*:Tour.AnotherBuildShowsTheViewsOfThisOne'
STAGES='bare clone test-deps test run windows-deps windows package
    sbuild-trixie sbuild-bookworm autopkgtest arm64 arm64-tests arm64-e2e armhf'

set -u
fail() { echo "debian13: $*" >&2; exit 1; }
self=$(realpath "$0")
repo=$(git -C "$(dirname "$self")" rev-parse --show-toplevel) || fail "not in a git checkout"

# In a tree, as a fresh root login would: a shell command line. --offline:
# in a network namespace of its own. --qemu: off the network too, in a user
# namespace whose own binfmt_misc starts arm64 programs under qemu-user
# (namespaces first: a chroot cannot make a user namespace).
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
    "$@" >"$tree/tmp/stage.log" 2>&1 && return 0
    tail -n 40 "$tree/tmp/stage.log"
    return 1
}

# Says whether the files $3 in the tree's folder $2 are those in its folder
# $1; where they are not, diffoscope says how they differ.
sameFiles() {
    (cd "$tree$1" && sha256sum $3) >"$tree/tmp/first.sha256" || return 1
    if (cd "$tree$2" && sha256sum -c --strict "$tree/tmp/first.sha256"); then
        cat "$tree/tmp/first.sha256"
        return 0
    fi
    for f in $3; do
        f=$(cd "$tree$1" && ls $f) && diffoscope "$tree$1/$f" "$tree$2/$f" | head -n 80
    done
    return 1
}

# The stages: stage_NAME runs the stage NAME, and stage_cross ARCH the cross
# builds' (arm64, armhf).

stage_bare() {
    echo "apt-get update && apt-get install -y git make"
    quietly inSystem "apt-get update -q && apt-get install -y -q git make"
}

stage_clone() {
    inSystem "for c in $CLONE $OTHER_CLONE; do
            umask 022; [ \$c = $OTHER_CLONE ] && umask 002
            mkdir -p \${c%/*}
            git -c advice.detachedHead=false -c init.defaultBranch=main clone -q /tmp/dalvery.bundle \$c
            test \"\$(git -C \$c rev-parse HEAD)\" = $commit
        done
        ls -ld /root $CLONE $OTHER_CLONE"
}

stage_test_deps() { quietly inSystem "cd $CLONE && make test-deps"; }

stage_test() { inSystem --offline "cd $CLONE && make test"; }

# No display in the system: the program is built optimised and the tour runs.
stage_run() {
    inSystem --offline "cd $CLONE
        make run >/tmp/run.log 2>&1 || { tail -n 40 /tmp/run.log; exit 1; }
        tail -n 3 /tmp/run.log
        test \$(ls build-release/tour-pictures/*.png | wc -l) -ge 17"
}

# The cross compiler, NSIS and Wine, timed apart; then the build from FLTK's
# tarball and its tests under Wine.
stage_windows_deps() { quietly inSystem "cd $CLONE && make test-windows-deps"; }

stage_windows() {
    cp "$fltkSource" "$tree/root/" &&
        inSystem --offline "cd $CLONE && make test-windows FLTK_SOURCE=/root/${fltkSource##*/}"
}

# Not reprotest: it would vary more (time, user, file order), but it makes
# two builds of its own, the control and the experiment, with
# dpkg-buildpackage rather than make package, where this adds one to the
# package test of make test; and the second clone serves arm64's too.
stage_package() {
    startChroots
    [ -d "$tree$CLONE/$TESTED_PACKAGES" ] ||
        quietly inSystem "cd $CLONE && make package RELEASE_DIR=${TESTED_PACKAGES%/package}" ||
        return 1
    echo "umask 002, LC_ALL=C: make package in $OTHER_CLONE"
    quietly inSystem --offline "umask 002 && export LC_ALL=C && cd $OTHER_CLONE && make package" &&
        sameFiles "$CLONE/$TESTED_PACKAGES" "$OTHER_CLONE/$PACKAGES" "$BINARY $SOURCE"
}

# sbuild's chroots, made by mmdebstrap meanwhile (apt and dpkg, mostly): the
# package stage only compiles, where the tests' times are not measured.
startChroots() {
    for suite in trixie bookworm; do
        case " $SELECTED " in *" sbuild-$suite "*) ;; *) continue ;; esac
        mmdebstrap --quiet --variant=buildd $suite "$tree/srv/$suite.tar" "$mirror" \
            >"$tree/srv/$suite.tar.log" 2>&1 &
        eval "chroot_$suite=\$!"
    done
}

# sbuildSuite SUITE MODES: tests/sbuild.sh, into /srv/sbuild-SUITE, with the chroot made
# meanwhile if there is one.
sbuildSuite() {
    pid=$(eval echo "\${chroot_$1-}")
    if [ -n "$pid" ]; then
        wait "$pid" || { cat "$tree/srv/$1.tar.log"; return 1; }
        export SBUILD_CHROOT="$tree/srv/$1.tar"
    fi
    "$repo/tests/sbuild.sh" "$1" "$2" "$tree/srv/sbuild-$1" "$tree$CLONE/$TESTED_PACKAGES"/dalvery_*.dsc
    status=$?
    unset SBUILD_CHROOT
    return $status
}

# From the source package alone, as Debian's builders build it: Debian 13's
# build without the tests must make the first build's binary package.
stage_sbuild_trixie() {
    sbuildSuite trixie "check nocheck" && sameFiles "$CLONE/$TESTED_PACKAGES" /srv/sbuild-trixie/nocheck "$BINARY"
}

stage_sbuild_bookworm() { sbuildSuite bookworm check; }

# The package on a fresh system that has none of the build's packages,
# made by mmdebstrap within this one's hook, which runs autopkgtest there.
stage_autopkgtest() {
    set -- "$tree$CLONE/$TESTED_PACKAGES"/dalvery_*.deb "$tree$CLONE/$TESTED_PACKAGES"/dalvery_*.tar.xz
    [ -f "$1" ] && [ -f "$2" ] || { echo "no package in $CLONE/$TESTED_PACKAGES"; return 1; }
    echo "mmdebstrap --variant=apt $SUITE: the autopkgtest of ${1##*/}"
    quietly mmdebstrap --quiet --variant=apt --aptopt="$VALID_UNTIL" "$SUITE" /dev/null "$mirror" \
        --customize-hook="copy-in $1 $2 /root" \
        --customize-hook="\"$self\" --autopkgtest \"\$1\"" || return 1
    sed -n '/^debian13: the autopkgtest:/,$p' "$tree/tmp/stage.log"
}

# In the fresh system $tree: apt-get installs the package with its libraries,
# autopkgtest, dpkg-dev, which it needs to read a source tree, and the test's
# dependencies; then the test runs off the network, and apt-get removes the
# package. The test's Depends may name the build dependencies
# (@builddeps@), which apt-get satisfy cannot expand and apt-get build-dep
# installs from the source tree; "@" is the package, installed already.
autopkgtestInFresh() {
    echo "debian13: the autopkgtest:"
    log=$tree/tmp/fresh.log
    tar -xJf "$tree"/root/dalvery_*.tar.xz -C "$tree/root" || return 1
    inSystem "apt-get update -q && cd /root
        apt-get install -y -q --no-install-recommends autopkgtest dpkg-dev ./dalvery_*.deb" >"$log" 2>&1 ||
        { tail -n 40 "$log"; return 1; }
    depends=$(awk '/^Depends:/ { on = 1; sub(/^Depends:/, ""); print; next } /^[^ \t]/ { on = 0 } on' \
        "$tree"/root/dalvery-*/debian/tests/control | tr ',\n' '\n\n' | sed 's/^ *//; s/ *$//' | grep .)
    echo "$depends" | grep -qx @builddeps@ && builddeps="apt-get build-dep -y -q ./dalvery-*/"
    satisfy=$(echo "$depends" | grep -v '^@' | paste -sd, -)
    inSystem "cd /root
        ${builddeps-}
        ${satisfy:+apt-get satisfy -y -q '$satisfy'}
        if ldd /usr/bin/dalvery | grep 'not found'; then exit 1; fi" >"$log" 2>&1 ||
        { tail -n 40 "$log"; return 1; }
    inSystem --offline "cd /root && status=0
        autopkgtest ./dalvery_*.deb dalvery-*/ -- null >/tmp/autopkgtest.log 2>&1 || status=\$?
        awk '/@@@@ summary\$/ { on = 1; next } /^autopkgtest \[/ { on = 0 } on' /tmp/autopkgtest.log
        [ \$status -eq 0 ] || { tail -n 60 /tmp/autopkgtest.log; exit 1; }" || return 1
    inSystem "apt-get remove -y -q dalvery >/dev/null
        test ! -e /usr/bin/dalvery && echo '/usr/bin/dalvery is gone'"
}

# The stages arm64 and armhf: make package ARCH=$1, and lintian. The first
# build for an architecture installs its cross compiler and libraries.
stage_cross() {
    quietly inSystem "cd $CLONE && make package ARCH=$1" || return 1
    inSystem "cd $CLONE/$PACKAGES && sha256sum dalvery_*_$1.deb
        $CLONE/tests/install/lintian.sh $CLONE dalvery_*_$1.changes && echo 'lintian: nothing to say'"
}

# The package's build with its tests on (debian/rules says which), from the
# second clone's source tree, with its umask and locale: the cross build
# profile alone, whose build dependencies include the native tools that the
# tests run. It is the second arm64 build too: its .deb is the first's.
stage_arm64_tests() {
    quietly inSystem "apt-get install -y -q --no-install-recommends qemu-user mount
        apt-get build-dep -y -q -a arm64 -Pcross $CLONE" || return 1
    inSystem --qemu "mount -t binfmt_misc binfmt_misc /mnt
        cat /usr/share/qemu/binfmt.d/qemu-aarch64.conf >/mnt/register
        umask 002 && export LC_ALL=C
        rm -rf /srv/arm64 && mkdir /srv/arm64 && cp -a $OTHER_CLONE/$PACKAGES/dalvery-* /srv/arm64/
        cd /srv/arm64/dalvery-*
        dpkg-buildpackage -us -uc -b -a arm64 -Pcross >/tmp/arm64-tests.log 2>&1 || status=\$?
        sed -n '/% tests passed/,/^make/p' /tmp/arm64-tests.log | head -n 40
        [ \${status:-0} -eq 0 ] && exit 0
        echo 'What the failed tests said:'
        grep -A 2 -E '^[0-9]+: (.*: Failure|FAIL: )' /tmp/arm64-tests.log | head -n 100
        tail -n 3 /tmp/arm64-tests.log
        exit 1" || return 1
    echo "the tests-on build's .deb against make package ARCH=arm64's:"
    sameFiles "$CLONE/$PACKAGES" /srv/arm64 'dalvery_*_arm64.deb'
}

# The arm64 program, installed beside amd64's libraries, started by the
# scenarios of make test's build as "qemu-aarch64 -L / /usr/bin/dalvery".
stage_arm64_e2e() {
    quietly inSystem "apt-get install -y -q qemu-user $CLONE/$PACKAGES/dalvery_*_arm64.deb libgl1-mesa-dri:arm64" ||
        return 1
    quietly inSystem --offline "cd $CLONE && cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug
        cmake --build build -j2 --target dalvery e2e_tests" || return 1
    inSystem --offline "cd $CLONE
        DALVERY_COMMAND='qemu-aarch64 -L / /usr/bin/dalvery' build/tests/e2e/e2e_tests --gtest_filter='$SCENARIOS'"
}

# mmdebstrap's customize hook: the stages, in the tree $1, each timed; the
# first to fail ends the list.
runStages() {
    tree=$1
    started=$(date +%s)
    summary=""
    result=PASSED
    commit=$(git bundle list-heads "$tree/tmp/dalvery.bundle" | awk '$2 == "HEAD" { print $1 }')
    echo "Dalvery on a fresh Debian $SUITE: commit $commit of $repo, in $tree"
    [ -z "$(git -C "$repo" status --porcelain --untracked-files=no)" ] ||
        echo "(changes not committed in the checkout are not tested)"
    for stage in $STAGES; do
        case " bare clone $SELECTED " in *" $stage "*) ;; *) continue ;; esac
        echo
        echo "=== $stage"
        t0=$(date +%s)
        case $stage in
        arm64 | armhf) stage_cross "$stage" ;;
        *) "stage_$(echo "$stage" | tr - _)" ;;
        esac
        status=$?
        seconds=$(($(date +%s) - t0))
        verdict=ok
        [ $status -eq 0 ] || verdict=FAILED
        summary="$summary$(printf '  %-16s %5s s  %s' "$stage" "$seconds" "$verdict")\n"
        echo "--- $stage: $verdict, $seconds s"
        [ $status -eq 0 ] || { result="FAILED at $stage"; break; }
    done
    wait # for sbuild's chroots, when a stage failed before it took them
    echo
    echo "=== Summary (Debian $SUITE, commit $(echo "$commit" | cut -c1-12))"
    printf '%b' "$summary"
    echo "debian13: $result, $(($(date +%s) - started)) s in the system"
    [ "$result" = PASSED ]
}

# The tools this runs from the hooks (sbuild's mmdebstrap, the second
# system's) are mmdebstrap's children: they must not take its variables for
# their own.
for v in $(env | sed -n 's/^\(MMDEBSTRAP_[A-Z_]*\)=.*/\1/p'); do unset "$v"; done

case ${1-} in
--stages) runStages "$2"; exit ;;
--autopkgtest) tree=$2 && autopkgtestInFresh; exit ;;
esac

[ "$(id -u)" -eq 0 ] || fail "must run as root (mmdebstrap, chroot, mount)"
for tool in mmdebstrap sbuild diffoscope; do
    command -v $tool >/dev/null || fail "needs $tool: make test-debian13 installs it"
done
SELECTED=$*
for s in $SELECTED; do
    case " $(echo $STAGES) " in *" $s "*) ;; *) fail "no stage $s; the stages: $(echo $STAGES)" ;; esac
done
fltkSource=$(realpath -m "${FLTK_SOURCE:-$repo/../shared/fltk/fltk-1.4.5.tar.gz}")
case " ${SELECTED:-windows} " in *" windows "*)
    [ -f "$fltkSource" ] || fail "no FLTK release tarball at $fltkSource; set FLTK_SOURCE" ;;
esac
[ -n "$SELECTED" ] || SELECTED=$(echo $STAGES)
mirror=${DEBIAN_MIRROR:-$(awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }' \
    /etc/apt/sources.list.d/debian.sources 2>/dev/null)}
[ -n "$mirror" ] || fail "no Debian archive in /etc/apt/sources.list.d/debian.sources; set DEBIAN_MIRROR"
export SELECTED fltkSource mirror DEBIAN_MIRROR="$mirror"

# The commit under test is bundled as the system is begun: commits made
# while this runs are not tested.
# mmdebstrap (1.3.5) unmounts and removes the system after a SIGINT, but a
# SIGTERM or SIGHUP during a hook kills the process that mounted, and the
# mounts stay: it runs in a process group of its own, which those signals
# reach as SIGINT (which a shell's background job would ignore).
started=$(date +%s)
echo "mmdebstrap --variant=apt $SUITE, then the stages: $(echo $SELECTED)"
env --default-signal=INT setsid mmdebstrap --quiet --variant=apt --aptopt="$VALID_UNTIL" "$SUITE" /dev/null "$mirror" \
    --setup-hook="mkdir -p -m 1777 \"\$1/tmp\" && git -C \"$repo\" bundle create -q \"\$1/tmp/dalvery.bundle\" HEAD" \
    --customize-hook="\"$self\" --stages \"\$1\"" &
system=$!
trap 'kill -INT -$system' INT TERM HUP
while :; do
    wait $system
    status=$?
    kill -0 $system 2>/dev/null || break
done
echo "debian13: $(($(date +%s) - started)) s in all, mmdebstrap's system included"
exit $status
