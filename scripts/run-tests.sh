#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test once.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh "$@"
scripts/with-x.sh ctest --test-dir build --output-on-failure -j2
