#!/bin/sh
# no-display.sh PROGRAM
# Without an X display the program must say so in one line on stderr, print
# nothing on stdout and fail, whether DISPLAY is unset or names no server.
program=$1
out=$(mktemp) err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
fail() { echo "FAIL ($1): $2" >&2; cat "$err" >&2; exit 1; }

# A display number with no server behind it.
n=900
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done

for case in unset ":$n"; do
    if [ "$case" = unset ]; then
        env -u DISPLAY "$program" >"$out" 2>"$err" </dev/null
    else
        env DISPLAY="$case" "$program" >"$out" 2>"$err" </dev/null
    fi
    status=$?
    [ "$status" -ne 0 ] || fail "$case" "exit status 0"
    [ "$status" -lt 128 ] || fail "$case" "ended by signal $((status - 128))"
    [ ! -s "$out" ] || fail "$case" "standard output: $(cat "$out")"
    [ "$(wc -l <"$err")" -eq 1 ] || fail "$case" "not one line on stderr"
    grep -qi "display" "$err" || fail "$case" "the line does not mention the display"
    echo "DISPLAY $case: exit $status, stderr: $(cat "$err")"
done
