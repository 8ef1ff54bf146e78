#!/usr/bin/env bash
# Installs what is missing, builds, and opens the browser in test mode on its
# built-in start page (or on the address given as the first argument).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
exec build/src/zuvochatwebbroswer test "$@"
