#!/usr/bin/env bash
# The Debian package as packagers and players meet it: built by CPack, checked by lintian and
# the desktop and AppStream validators, unpacked with dpkg-deb -x (the machine stays as it is)
# and started from another folder. Runs in the build folder, under a display (xvfb-run).
set -euo pipefail
support="$(cd "$(dirname "$0")/support" && pwd)"
scratch=$(mktemp -d /tmp/marrowdeep-package-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
# The game keeps its settings here, not with the player's own.
export XDG_CONFIG_HOME="$scratch/config"
fail() { echo "FAILED: $*" >&2; exit 1; }

# Runs a launcher that must refuse to start the game, and checks what it says. A game started
# anyway runs until the timeout ends it.
expectRefusal() {
    local message=$1 output
    shift
    if output=$(timeout -k 5 60 "$@" 2>&1); then fail "the launcher started the game: $output"; fi
    grep -qF -- "$message" <<<"$output" || fail "expected \"$message\", got: $output"
}

cpack -G DEB >"$scratch/cpack.log" 2>&1 || { cat "$scratch/cpack.log"; fail "cpack"; }
package=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$scratch/cpack.log")
echo "Package: $package"
lintian --fail-on error "$package"

root="$scratch/root"
dpkg-deb -x "$package" "$root"
desktop-file-validate "$root/usr/share/applications/marrowdeep.desktop"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml

launcher="$root/usr/games/marrowdeep"
elsewhere="$scratch/elsewhere"
mkdir "$elsewhere"
# The window opens and draws, F2 prints a statistics line, Escape and one more key end the game.
status=0
"$support/play.sh" "$elsewhere" "$scratch/game.txt" " objects culled" 4 "F2 Escape space" "$launcher" || status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status: $(cat "$scratch/game.txt")"
grep -q " FPS, triangles rendered: " "$scratch/game.txt" || fail "no statistics line: $(cat "$scratch/game.txt")"

data="$root/usr/share/games/marrowdeep"
expectRefusal "Marrowdeep needs a display." env -u DISPLAY -u WAYLAND_DISPLAY "$launcher"
rm "$data/assets/tunnel/door.obj"
expectRefusal "data folder is incomplete: $data lacks assets/tunnel/door.obj" "$launcher"
mv "$data" "$data.moved"
expectRefusal "data folder is missing or incomplete: looked in $data" "$launcher"
echo "The package installs, starts and refuses bad data folders as it should."
