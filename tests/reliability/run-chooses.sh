#!/bin/sh
# run-chooses.sh MAKEFILE
# `make run` opens the program where a desktop is reachable and shows the
# tour where none is: an X display must answer, and a Wayland socket counts
# only where FLTK speaks Wayland. The Makefile decides on a copy of itself
# that installs and builds nothing, and whose program and tour only say
# which they are, for each environment.
makefile=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
{ cat "$makefile"; printf 'deps program-deps tour-deps program tour:\n\t@:\n'; } >"$work/Makefile" || exit 1
mkdir -p "$work/release/tour" "$work/runtime"
for which in dalvery tour/dalvery_tour; do
    printf '#!/bin/sh\nbasename "$0"\n' >"$work/release/$which" && chmod +x "$work/release/$which"
done
# A compositor's socket, listening as sway's does, and a plain file.
perl -MIO::Socket::UNIX -e 'IO::Socket::UNIX->new(Local => $ARGV[0], Listen => 1) or die "$!\n"' \
    "$work/runtime/wayland-1" || fail "cannot make a socket"
: >"$work/runtime/wayland-file"

# A display number with no server behind it.
n=900
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
[ -n "${DISPLAY-}" ] && xdpyinfo >/dev/null 2>&1 || fail "needs an X display that answers (run under xvfb-run)"

# FLTK_WAYLAND, then the environment, then what runs. make runs as typed at
# a prompt: under the make that runs the tests, make 4.3 (Debian 12) would
# print the directories it enters, -s or not.
check() {
    got=$(cd "$work" && env -u DISPLAY -u WAYLAND_DISPLAY -u XDG_RUNTIME_DIR \
        -u MAKEFLAGS -u MFLAGS -u MAKELEVEL "$@" \
        make -s run RELEASE_DIR=release FLTK_WAYLAND="$wayland" 2>/dev/null | tail -n 1)
    [ "$got" = "$expected" ] || fail "FLTK_WAYLAND='$wayland' $*: ran '$got', not '$expected'"
    echo "ok: FLTK_WAYLAND='$wayland' $* -> $got"
}
runtime="XDG_RUNTIME_DIR=$work/runtime"
for wayland in "" yes; do
    expected=dalvery_tour check
    expected=dalvery_tour check "DISPLAY=:$n"
    expected=dalvery check "DISPLAY=$DISPLAY"
    expected=dalvery_tour check "$runtime" WAYLAND_DISPLAY=wayland-2
    expected=dalvery_tour check "$runtime" WAYLAND_DISPLAY=wayland-file
    expected=dalvery_tour check WAYLAND_DISPLAY=wayland-1
    desktop=dalvery_tour
    [ -n "$wayland" ] && desktop=dalvery
    expected=$desktop check "$runtime" WAYLAND_DISPLAY=wayland-1
    expected=$desktop check "DISPLAY=:$n" "$runtime" WAYLAND_DISPLAY=wayland-1
    expected=$desktop check WAYLAND_DISPLAY="$work/runtime/wayland-1"
done
