#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole suite headless: once as the
# game is shipped, once more with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
jobs="$(nproc)"
xvfb=(xvfb-run -a -s '-screen 0 1024x768x24')

"$root/scripts/setup.sh" "$root/build"
(cd "$root/build" && "${xvfb[@]}" ctest --output-on-failure -j "$jobs")

if [ "${MARROWDEEP_SKIP_SANITIZERS:-0}" != 1 ]; then
    "$root/scripts/setup.sh" "$root/build-sanitize" -DMARROWDEEP_SANITIZE=ON
    # Up to GCC 13 the sanitizer's __tls_get_addr interceptor can take a malloc'd block that lands
    # at a particular page offset for an old glibc TLS header and crash the leak checker's tracer
    # at exit, after a passing test (Mesa's driver uses dynamic TLS); the game's leaks are still
    # found without it.
    export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:intercept_tls_get_addr=0"
    export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
    export LSAN_OPTIONS="suppressions=$root/tests/sanitizer/lsan.supp:print_suppressions=0"
    # llvmpipe draws on the calling thread: the leak checker stops the world at exit, and
    # rasteriser threads winding down at that moment can crash its tracer.
    export LP_NUM_THREADS=0
    cd "$root/build-sanitize"
    "${xvfb[@]}" ctest --output-on-failure -j "$jobs" -E "${MARROWDEEP_SANITIZE_EXCLUDE:-^$}"
fi
