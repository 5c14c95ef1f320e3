#!/usr/bin/env bash
# After a failed ctest run, prints as one ctest -R pattern the failed cases whose own output shows
# the leak checker's tracer crash (a sanitizer fault at exit, not a leak). Fails, printing the
# case, when a case failed without that crash: such a failure is the test's own and is not retried.
# Usage: tracer-crashes.sh <the run's Testing/Temporary folder>
set -euo pipefail
folder="$1"
awk '
    FNR == NR {
        if ($0 ~ /^[0-9]+\/[0-9]+ Test: /) name = $3
        else if (index($0, "LeakSanitizer has encountered a fatal error")) crashed[name] = 1
        next
    }
    {
        name = substr($0, index($0, ":") + 1)
        if (!(name in crashed)) { print "failed without a leak checker crash: " name > "/dev/stderr"; real = 1 }
        gsub(/\./, "\\.", name)
        pattern = pattern (pattern == "" ? "" : "|") name
    }
    END { if (real || pattern == "") exit 1; print "^(" pattern ")$" }
' "$folder/LastTest.log" "$folder/LastTestsFailed.log"
