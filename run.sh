#!/usr/bin/env bash
# Installs what is missing, builds the game and its assets, and starts it from build/.
set -euo pipefail
root="$(cd "$(dirname "$0")" && pwd)"
"$root/scripts/setup.sh" "$root/build"

cd "$root/build"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    if [ -x ./marrowdeep-autoplay ]; then
        echo "No display found: the game plays itself headless (route door2)."
        xvfb-run -a -s '-screen 0 1024x768x24' ./marrowdeep-autoplay door2
        echo "Screenshots of the run are in $root/build/autoplay/door2/"
        exit 0
    fi
    echo "Marrowdeep needs a display. Start it under a virtual one with: xvfb-run ./run.sh" >&2
    exit 1
fi
exec ./marrowdeep
