#!/usr/bin/env bash
# Runs a command against a fresh Xvfb server with the openbox window manager,
# so that windows get frames and can be moved and maximised as on a desktop.
set -euo pipefail

display=99
while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
    display=$((display + 1))
done

Xvfb ":${display}" -screen 0 1600x1200x24 -nolisten tcp >/tmp/zuvo-xvfb.log 2>&1 &
xvfb_pid=$!
cleanup() {
    kill "${wm_pid:-}" 2>/dev/null || true
    kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

export DISPLAY=":${display}"
for _ in $(seq 1 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
done
openbox >/tmp/zuvo-openbox.log 2>&1 &
wm_pid=$!
sleep 0.5

"$@"
