#!/bin/sh
# install-packages.sh [--build-deps[=PROFILES]] [--arch=ARCH] [APT_OPTION...] [PACKAGE...]
# What a target of the Makefile beside it needs, installed where missing:
# with --build-deps, the build dependencies of debian/control, under the
# build profiles PROFILES (comma-separated) when given, else with no profile
# (all of them), for the architecture ARCH when given, which dpkg is first
# told of; and the PACKAGEs, installed by apt-get install with the
# APT_OPTIONs (such as --no-install-recommends). As root it installs them;
# otherwise it fails, naming the command that would, on one line to copy
# whole. dpkg-checkbuilddeps (from dpkg-dev, which build-essential brings)
# answers at once when nothing is missing, without apt.
set -u
source=$(cd "$(dirname "$0")" && pwd -P)
buildDeps= profiles= arch= options=
for arg; do
    shift
    case $arg in
    --build-deps) buildDeps=yes ;;
    --build-deps=*) buildDeps=yes profiles=${arg#*=} profiles=${profiles:+ -P $profiles} ;;
    --arch=*) arch=${arg#*=} ;;
    -*) options="$options $arg" ;;
    *) set -- "$@" "$arg" ;;
    esac
done

foreign= build= missing=
if [ -n "$arch" ]; then
    dpkg --print-foreign-architectures | grep -qx "$arch" || foreign="dpkg --add-architecture $arch"
fi
if [ -n "$buildDeps" ]; then
    (cd "$source" && dpkg-checkbuilddeps ${arch:+-a $arch}$profiles >/dev/null 2>&1) ||
        build="apt-get build-dep -y${arch:+ -a $arch}$profiles $source"
fi
# In the order and once each, as make's sort gives them.
for p in $(printf '%s\n' "$@" | LC_ALL=C sort -u); do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
install=${missing:+apt-get install -y$options$missing}
[ -n "$build$install" ] || exit 0

if [ "$(id -u)" -eq 0 ]; then
    echo "Installing:${build:+ the build dependencies of debian/control${arch:+ for $arch}}$missing"
    { [ -z "$foreign" ] || $foreign; } &&
        apt-get update -qq && export DEBIAN_FRONTEND=noninteractive &&
        { [ -z "$build" ] || $build -qq; } && { [ -z "$install" ] || $install -qq; }
else
    echo "Missing Debian packages; install them with: sudo ${foreign:+$foreign && sudo }${build:+$build${install:+ && sudo }}$install" >&2
    exit 1
fi
