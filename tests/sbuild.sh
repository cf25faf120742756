#!/bin/sh
# sbuild.sh SUITE "check|nocheck..." OUTPUT [DSC]
# Builds the source package as Debian's builders do: sbuild in a fresh
# minimal chroot (mmdebstrap --variant=buildd) of SUITE, bookworm or trixie,
# with no Recommends installed and the build's tests run unless nocheck;
# once for each word of the second argument, from the same chroot.
# The builders take only the first of alternative build dependencies;
# Debian 12 has FLTK 1.3 alone, the second, so it is built with
# --resolve-alternatives. Without DSC, `make package` makes the source
# package from this checkout. The .deb, .buildinfo, .changes and the build
# log go into OUTPUT/check and OUTPUT/nocheck. Runs as root, or as a user whose /etc/subuid and
# /etc/subgid lines are there already: sbuild's unshare mode maps the
# chroot's users to them.
#
# Environment: DEBIAN_MIRROR (default: this machine's Debian archive);
# SBUILD_CHROOT: SUITE's chroot tarball, made already by mmdebstrap
# --variant=buildd (default: made here).

set -u
fail() { echo "sbuild.sh: $*" >&2; exit 1; }
[ $# -ge 3 ] || fail "usage: sbuild.sh bookworm|trixie \"check|nocheck...\" OUTPUT [DSC]"
suite=$1 modes=$2 output=$3 dsc=${4-}
case $suite in bookworm | trixie) ;; *) fail "suite $suite: bookworm or trixie" ;; esac
for tests in $modes; do
    case $tests in check | nocheck) ;; *) fail "$tests: check or nocheck" ;; esac
done
for tool in sbuild mmdebstrap newuidmap; do
    command -v $tool >/dev/null ||
        fail "needs $tool: apt-get install --no-install-recommends sbuild mmdebstrap uidmap"
done
repo=$(git -C "$(dirname "$0")" rev-parse --show-toplevel) || fail "not in a git checkout"
mirror=${DEBIAN_MIRROR:-$(awk '/^URIs:/ && $2 !~ /security/ { print $2; exit }' \
    /etc/apt/sources.list.d/debian.sources 2>/dev/null)}
[ -n "$mirror" ] || fail "no Debian archive in /etc/apt/sources.list.d/debian.sources; set DEBIAN_MIRROR"

started=$(date +%s)
work=$(mktemp -d /var/tmp/dalvery-sbuild.XXXXXX) || exit 1
finish() {
    status=$?
    trap - EXIT INT TERM
    rm -rf "$work"
    result=PASSED
    [ "$status" -eq 0 ] || result=FAILED
    echo "sbuild.sh: $suite $modes $result, $(($(date +%s) - started)) s"
    exit "$status"
}
trap finish EXIT
trap 'echo "sbuild.sh: interrupted" >&2; exit 130' INT TERM

# sbuild's unshare mode maps the chroot's root and users to this user's
# subordinate ids.
user=$(id -un)
for file in /etc/subuid /etc/subgid; do
    grep -q "^$user:" "$file" 2>/dev/null && continue
    [ "$(id -u)" -eq 0 ] || fail "$file has no line for $user; as root: echo $user:100000:65536 >>$file"
    echo "$user:100000:65536" >>"$file" || exit 1
    echo "added $user:100000:65536 to $file, which sbuild's unshare mode needs"
done

if [ -z "$dsc" ]; then
    echo "make package"
    make -C "$repo" package >"$work/package.log" 2>&1 || { tail -n 40 "$work/package.log"; exit 1; }
    dsc=$(ls "$repo"/build-release/package/dalvery_*.dsc) || exit 1
fi
dsc=$(realpath "$dsc") && [ -f "$dsc" ] || fail "no source package $dsc"
mkdir -p "$output" || exit 1

tarball=${SBUILD_CHROOT:-$work/$suite.tar}
if [ -z "${SBUILD_CHROOT-}" ]; then
    echo "mmdebstrap --variant=buildd $suite $tarball $mirror"
    mmdebstrap --quiet --variant=buildd "$suite" "$tarball" "$mirror" || exit 1
fi

# The chroot is fresh: no upgrade. Lintian is the tests' job elsewhere.
set -- --chroot-mode=unshare --chroot="$tarball" --dist="$suite" --no-run-lintian \
    --no-apt-upgrade --no-apt-distupgrade
[ "$suite" = bookworm ] && set -- "$@" --resolve-alternatives
for tests in $modes; do
    t0=$(date +%s)
    mkdir -p "$output/$tests" || exit 1
    profile=""
    [ "$tests" = nocheck ] && profile=--profiles=nocheck
    echo "sbuild $* $profile $dsc, in $output/$tests"
    (cd "$output/$tests" && DEB_BUILD_OPTIONS="$([ "$tests" = nocheck ] && echo nocheck) ${DEB_BUILD_OPTIONS-}" \
        sbuild "$@" $profile "$dsc" >/dev/null) || {
        log=$(ls -t "$output/$tests"/*.build | head -n 1)
        echo "the build log: $log"
        tail -n 60 "$log"
        exit 1
    }
    echo "$suite $tests: $(($(date +%s) - t0)) s"
    ls -1 "$output/$tests"
done
