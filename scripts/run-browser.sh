#!/usr/bin/env bash
# Installs what is missing, builds, and starts the reference host, which
# starts the browser on its built-in start page and prints the conversation.
# Type host commands (help lists them) or quit. With --test-mode the browser
# runs alone in its test mode instead; a further argument is the address.
# --webengine or --webkitgtk first runs that engine's build instead of the
# default one.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: run this on a desktop, or under scripts/with-x.sh." >&2
    exit 1
fi
browser=build/src/zuvochatwebbroswer
case "${1:-}" in
--webengine | --webkitgtk)
    browser="build/src/zuvochatwebbroswer-${1#--}"
    shift
    ;;
esac
if [ ! -x "$browser" ]; then
    echo "$browser was not built (see the engines in README.md)." >&2
    exit 1
fi
if [ "${1:-}" = "--test-mode" ]; then
    shift
    exec "$browser" test "$@"
fi
exec build/tools/zuvohost/zuvohost --browser "$browser" --config tools/zuvohost/example-config.json \
    --url "${1:-qrc:/start/index.html}"
