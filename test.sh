#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the whole suite headless.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh" "$root/build"

cd "$root/build"
xvfb-run -a -s '-screen 0 1024x768x24' ctest --output-on-failure -j "$(nproc)"
