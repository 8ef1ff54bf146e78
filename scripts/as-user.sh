#!/usr/bin/env bash
# Runs a command on the caller's X display as a normal user would run it: as
# root (as in CI), as the unprivileged user zuvo-wayland, so that WebKit's and
# Chromium's sandboxes start as they do on a desktop. The command gets
# DISPLAY, a private HOME and XDG_RUNTIME_DIR, and the caller's ZUVO_*, QT_*
# and sanitizer settings; where that user cannot reach the command or the
# browser ZUVO_TEST_BROWSER names, they run from copies.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
source "$here/unprivileged.sh"

runtime="$(mktemp -d /tmp/zuvo-user.XXXXXX)"
chmod 700 "$runtime"
chown "$user" "$runtime"
trap 'rm -rf "$runtime"' EXIT

staging="$runtime/staged"
stage_command "$@"
passed_settings
"${as_user[@]}" env "HOME=$runtime" "XDG_RUNTIME_DIR=$runtime" "PATH=/usr/local/bin:/usr/bin:/bin" \
    "DISPLAY=$DISPLAY" "LC_ALL=C.UTF-8" "${passed[@]}" "${command[@]}"
