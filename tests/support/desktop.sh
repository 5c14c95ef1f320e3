#!/bin/sh
# Runs a program on an X server of its own (1024 x 768) with openbox managing its windows:
# desktop fullscreen needs a window manager, and the suite's shared X server has none.
if [ -z "${MARROWDEEP_OWN_DESKTOP:-}" ]; then
    MARROWDEEP_OWN_DESKTOP=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
fi
log="$(mktemp)"
openbox >"$log" 2>&1 &
manager=$!
# A loaded machine can take a while to start it; one that has stopped will not.
deadline=$(($(date +%s) + 120))
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    if ! kill -0 "$manager" 2>/dev/null || [ "$(date +%s)" -gt "$deadline" ]; then
        echo "openbox did not take the screen (is it installed?):" >&2
        cat "$log" >&2
        rm -f "$log"
        exit 1
    fi
    sleep 0.05
done
"$@"
status=$?
kill "$manager"
rm -f "$log"
exit "$status"
