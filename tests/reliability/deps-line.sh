#!/bin/sh
# deps-line.sh SOURCE_DIR
# `make deps` for a user without root, with packages that are not installed,
# must fail and name them all in one copyable command on stderr: apt-get
# build-dep for the build dependencies of debian/control, apt-get install
# for the packages the Makefile lists, or both joined by &&. The line is
# install-packages.sh's, which the Makefile's targets call.
source=$1
# As root the target would install them, so the test runs it as nobody, on a
# copy of the Makefile, its script and the control file: nobody may not read
# the checkout (a clone in /root).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/debian" && cp "$source/Makefile" "$source/install-packages.sh" "$work/" &&
    chmod -R a+rwX "$work" || exit 1
asUser() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
    else
        "$@"
    fi
}
fail() { echo "FAIL ($1): $2" >&2; exit 1; }

buildDep="sudo apt-get build-dep -y -P nocheck $work"
install="sudo apt-get install -y no-such-package-a no-such-package-b"
# A build dependency missing or not; packages of the Makefile's missing or
# not; the command expected.
for case in "missing extra:$buildDep && $install" "missing none:$buildDep" "met extra:$install"; do
    words=${case%%:*} expected=${case#*:}
    build=${words% *} extra=${words#* }
    sed "/^Build-Depends:/a\\$([ "$build" = met ] || echo " no-such-build-dependency,")" \
        "$source/debian/control" >"$work/debian/control"
    packages=cmake
    [ "$extra" = none ] || packages="cmake no-such-package-b no-such-package-a"
    (cd "$work" && asUser sh -c "make -s deps RUN_PACKAGES='$packages' >out 2>err")
    status=$?
    cat "$work/err"
    [ "$status" -ne 0 ] || fail "$words" "make deps succeeded with packages missing"
    [ ! -s "$work/out" ] || fail "$words" "standard output is not empty: $(cat "$work/out")"
    [ "$(grep -c 'apt-get' "$work/err")" -eq 1 ] || fail "$words" "the command is not on exactly one line"
    grep -qxF "Missing Debian packages; install them with: $expected" "$work/err" ||
        fail "$words" "no line gives exactly: $expected"
done
echo "ok"
