#!/usr/bin/env bash
# The rerun rule of test.sh: after a sanitized run, only the failed cases whose own output shows
# the leak checker's tracer crash are run again; a case that failed for its own reason fails the
# run, even when another case's tracer crashed.
set -euo pipefail
script="$(dirname "$0")/tracer-crashes.sh"
log="$(mktemp -d)"
trap 'rm -rf "$log"' EXIT

# ctest's record of a run: each case's output between its "Test:" line and its verdict.
runCase() { # number name verdict output
    printf '%s/3 Testing: %s\n%s/3 Test: %s\nOutput:\n----\n%s\n<end of output>\nTest %s.\n' "$1" "$2" "$1" "$2" "$4" "$3"
}
crash="==1==LeakSanitizer has encountered a fatal error."
{
    runCase 1 Rules.Click Failed "[  PASSED  ] 1 test.
$crash"
    runCase 2 Rules.Train Failed "Rules.cpp:40: Failure"
    runCase 3 Level.Doors Passed "[  PASSED  ] 1 test."
} > "$log/LastTest.log"

printf '1:Rules.Click\n2:Rules.Train\n' > "$log/LastTestsFailed.log"
if "$script" "$log" 2>/dev/null; then
    echo "a case that failed on an assertion was let through to a rerun"; exit 1
fi

printf '1:Rules.Click\n' > "$log/LastTestsFailed.log"
pattern="$("$script" "$log")"
[ "$pattern" = '^(Rules\.Click)$' ] || { echo "rerun pattern: $pattern"; exit 1; }
