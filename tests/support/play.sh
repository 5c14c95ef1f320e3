#!/usr/bin/env bash
# Starts a game command in a folder and, once its output holds the given number of frame lines
# (lines containing the given text), types the keys (xdotool key names) into its window, again
# each second until the game has ended (a busy X server may lose a key). The keys go to this
# game's own window by its id: other tests may have game windows open. A game that never ends is
# killed (signal 9) after two minutes. Exits with the game's status (128 + the signal's number
# when a signal killed it).
# Usage: play.sh <folder> <output file> <frame line> <frame lines first> <keys> <command...>
folder=$1 output=$2 frameLine=$3 framesFirst=$4 keys=$5
shift 5
(cd "$folder" && exec "$@") >"$output" 2>&1 &
game=$!
# The watchdog and the key sender end with the game.
(timeout 120 tail --pid=$game -f /dev/null || kill -9 $game) >/dev/null 2>&1 &
(
    window=$(timeout 60 xdotool search --all --sync --onlyvisible --pid $game --name Marrowdeep | head -n 1)
    until [ "$(grep -c -- "$frameLine" "$output")" -ge "$framesFirst" ]; do
        kill -0 $game || exit
        sleep 0.05
    done
    while kill -0 $game; do
        xdotool key --delay 40 --window "$window" $keys
        sleep 1
    done
) >/dev/null 2>&1 &
sender=$!
wait $game
status=$?
kill $sender 2>/dev/null
exit $status
