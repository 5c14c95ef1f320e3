#!/usr/bin/env bash
# Builds the game and prints its frame, tick, start-up, memory and allocation figures (headless, Xvfb).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
"$root/scripts/setup.sh" "$root/build"
cd "$root/build"
xvfb-run -a -s '-screen 0 1024x768x24' ./marrowdeep-bench
