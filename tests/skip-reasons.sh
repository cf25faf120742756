#!/bin/sh
# skip-reasons.sh BUILD_DIR: after a ctest run in BUILD_DIR, one line for each
# test it skipped, with the reason the test gave. ctest itself shows a skip
# as "***Skipped" and keeps the reason in its log, where only -V shows it.
log=$1/Testing/Temporary/LastTest.log
[ -f "$log" ] || exit 0
awk '
# GoogleTest writes "FILE:LINE: Skipped", the reason, then "[  SKIPPED ] NAME".
/^[0-9]+\/[0-9]+ Testing: / { name = $3; reason = ""; inReason = 0; next }
inReason && /^\[  SKIPPED \]/ { inReason = 0; skipped[++count] = name ": " (reason == "" ? "no reason given" : reason); next }
inReason { reason = reason (reason == "" ? "" : " ") $0; next }
/: Skipped$/ { inReason = 1 }
END {
    if (count == 0)
        exit
    print count " skipped, and why:"
    for (i = 1; i <= count; ++i)
        print "  " skipped[i]
}' "$log"
