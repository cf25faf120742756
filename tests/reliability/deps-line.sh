#!/bin/sh
# deps-line.sh MAKEFILE
# `make deps` for a user without root, with packages that are not installed,
# must fail and name them all in one copyable apt-get command on stderr.
makefile=$1
# As root the target would install them, so the test runs it as nobody, on a
# copy of the Makefile: nobody may not read the checkout (a clone in /root).
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$makefile" "$work/Makefile" || exit 1
chmod a+rwx "$work" && chmod a+r "$work/Makefile" || exit 1
asUser() {
    if [ "$(id -u)" -eq 0 ]; then
        setpriv --reuid=65534 --regid=65534 --clear-groups "$@"
    else
        "$@"
    fi
}
cd "$work" && asUser sh -c 'make -s deps RUN_PACKAGES="cmake no-such-package-a no-such-package-b" >out 2>err'
status=$?
cat err
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$status" -ne 0 ] || fail "make deps succeeded with packages missing"
[ ! -s out ] || fail "standard output is not empty: $(cat out)"
[ "$(grep -c no-such-package err)" -eq 1 ] || fail "the missing packages are not on exactly one line"
grep -q ': sudo apt-get install -y no-such-package-a no-such-package-b$' err ||
    fail "no line ends with the apt-get command for exactly the missing packages"
echo "ok"
