#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: install what is missing, configure and build.
# Usage: scripts/setup.sh [build-folder] [extra cmake arguments...]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build}"
shift || true

packages=(
    cmake g++ make pkg-config
    libsdl2-dev libsdl2-image-dev libsdl2-ttf-dev libsdl2-mixer-dev fonts-dejavu-core
    libglew-dev libassimp-dev libglm-dev libbullet-dev
    xvfb xauth libgl1-mesa-dri libegl-mesa0 xdotool openbox x11-utils
    libgtest-dev libbenchmark-dev
    dpkg-dev file lintian desktop-file-utils appstream
)

"$root/scripts/install-packages.sh" "${packages[@]}"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build" -j "$(nproc)"
