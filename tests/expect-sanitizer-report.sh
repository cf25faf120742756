#!/bin/sh
# expect-sanitizer-report.sh PATTERN COMMAND [ARGS...]
# Passes when COMMAND fails (a report the run survives would let a test pass)
# and its output has a line matching the extended regular expression PATTERN.
pattern=$1
shift
output=$("$@" 2>&1)
status=$?
printf '%s\n' "$output"
if [ "$status" -eq 0 ]; then
    echo "expected a failing exit status, got 0" >&2
    exit 1
fi
printf '%s\n' "$output" | grep -Eq -- "$pattern" || { echo "no line matches: $pattern" >&2; exit 1; }
