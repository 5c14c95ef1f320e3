#!/bin/sh
# Runs a program on an X server of its own (1024 x 768) with openbox managing its windows:
# desktop fullscreen needs a window manager, and the suite's shared X server has none.
# The server picks a display number that is wholly free (-displayfd) and is waited for at the
# end: a desktop started right after must not meet this one's sockets while it shuts down.
displayFile="$(mktemp)" log="$(mktemp)"
stop() {
    kill $manager "$server" 2>/dev/null
    wait
    rm -f "$displayFile" "$log"
}
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$displayFile" >/dev/null 2>&1 &
server=$! manager=
# A loaded machine can take a while to start them; a server or manager that stopped will not.
deadline=$(($(date +%s) + 120))
waitFor() { # what, the process that must stay up, the check
    until eval "$3"; do
        if ! kill -0 "$2" 2>/dev/null || [ "$(date +%s)" -gt "$deadline" ]; then
            echo "$1 did not start (is it installed?):" >&2 && cat "$log" >&2 && stop && exit 1
        fi
        sleep 0.05
    done
}
waitFor Xvfb "$server" '[ -s "$displayFile" ]'
export DISPLAY=":$(head -n 1 "$displayFile")"
unset XAUTHORITY
openbox >"$log" 2>&1 &
manager=$!
waitFor openbox "$manager" 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"'
"$@"
status=$?
stop
exit "$status"
