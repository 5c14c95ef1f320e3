#!/bin/sh
# Runs a program on an X server of its own (1024 x 768) with openbox managing its windows:
# desktop fullscreen needs a window manager, and the suite's shared X server has none.
if [ -z "${MARROWDEEP_OWN_DESKTOP:-}" ]; then
    MARROWDEEP_OWN_DESKTOP=1 exec xvfb-run -a -s '-screen 0 1024x768x24' "$0" "$@"
fi
openbox >/dev/null 2>&1 &
manager=$!
waited=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; do
    waited=$((waited + 1))
    if [ "$waited" -gt 600 ]; then
        echo "openbox did not take the screen (is it installed?)" >&2
        exit 1
    fi
    sleep 0.05
done
"$@"
status=$?
kill "$manager"
exit "$status"
