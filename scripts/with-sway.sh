#!/usr/bin/env bash
# Runs a command in a fresh headless sway session (one 1600x1200 output, every
# window floating), so that Wayland windows get placed, moved and resized by a
# real compositor. sway refuses to run as root: run as root (as CI does), the
# session and the command run as the unprivileged user zuvo-wayland, created
# here if missing. The command gets WAYLAND_DISPLAY, XDG_RUNTIME_DIR and
# SWAYSOCK, and the caller's ZUVO_*, QT_* and sanitizer settings; where that
# user cannot reach the command or the browser ZUVO_TEST_BROWSER names, they
# run from copies. ZUVO_SWAY_LOG=FILE keeps the compositor's log.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
config="${ZUVO_SWAY_CONFIG:-$here/../tests/wayland/sway.config}"

source "$here/unprivileged.sh"

runtime="$(mktemp -d /tmp/zuvo-sway.XXXXXX)"
chmod 700 "$runtime"
chown "$user" "$runtime"
session_env=(env "HOME=$runtime" "XDG_RUNTIME_DIR=$runtime" "PATH=/usr/local/bin:/usr/bin:/bin"
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman)

# A copy, for the same reason as the command's below.
cp "$config" "$runtime/sway.config"
chown "$user" "$runtime/sway.config"
"${as_user[@]}" "${session_env[@]}" sway --config "$runtime/sway.config" >"$runtime/sway.log" 2>&1 &
sway_pid=$!
cleanup() {
    kill "$sway_pid" 2>/dev/null || true
    wait "$sway_pid" 2>/dev/null || true
    [ -z "${ZUVO_SWAY_LOG:-}" ] || cp "$runtime/sway.log" "$ZUVO_SWAY_LOG" 2>/dev/null || true
    rm -rf "$runtime"
}
trap cleanup EXIT

for _ in $(seq 1 100); do
    display="$(cd "$runtime" && ls wayland-* 2>/dev/null | grep -v '\.lock$' | head -n1 || true)"
    swaysock="$(ls "$runtime"/sway-ipc.*.sock 2>/dev/null | head -n1 || true)"
    [ -n "$display" ] && [ -n "$swaysock" ] && break
    sleep 0.1
done
if [ -z "${display:-}" ] || [ -z "${swaysock:-}" ]; then
    echo "sway did not start:" >&2
    cat "$runtime/sway.log" >&2
    exit 1
fi

# The command, and the browser a test names, must be within the session
# user's reach.
staging="$runtime/staged"
stage_command "$@"
passed_settings

"${as_user[@]}" "${session_env[@]}" "WAYLAND_DISPLAY=$display" "SWAYSOCK=$swaysock" \
    "LC_ALL=C.UTF-8" "${passed[@]}" "${command[@]}"
