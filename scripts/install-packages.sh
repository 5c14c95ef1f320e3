#!/usr/bin/env bash
# Installs those of the named Debian packages that are missing (with sudo unless run as root).
# Usage: scripts/install-packages.sh package...
set -euo pipefail

missing=()
for package in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ "${#missing[@]}" -gt 0 ] || exit 0

echo "Installing missing packages: ${missing[*]}"
sudo_command=()
[ "$(id -u)" -eq 0 ] || sudo_command=(sudo)
"${sudo_command[@]}" apt-get update -q
DEBIAN_FRONTEND=noninteractive "${sudo_command[@]}" apt-get install -y -q "${missing[@]}"
