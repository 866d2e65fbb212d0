#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs a test program against a private Xvfb server; exit code 77 (skipped)
# when Xvfb or xdotool is missing.
command -v Xvfb >/dev/null 2>&1 && command -v xdotool >/dev/null 2>&1 || exit 77
display=:$(( 90 + $$ % 100 ))
while [ -e "/tmp/.X11-unix/X${display#:}" ] || [ -e "/tmp/.X${display#:}-lock" ]; do
    display=:$(( ${display#:} + 1 ))
done
Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
trap 'kill $server 2>/dev/null' EXIT
for _ in 1 2 3 4 5 6 7 8 9 10; do
    [ -e "/tmp/.X11-unix/X${display#:}" ] && break
    sleep 0.2
done
DISPLAY=$display QT_QPA_PLATFORM=xcb "$@"
