#!/usr/bin/env bash
# Builds into build-sanitize/ with clang, the address and undefined-behaviour
# sanitizers and the fuzz target's coverage, and runs every test there.
set -euo pipefail
cd "$(dirname "$0")/.."
CC=clang CXX=clang++ cmake -S . -B build-sanitize -DSANITIZE=ON -DFUZZ=ON -DZUVO_BUILD_BENCH=OFF -DZUVO_WEBENGINE=OFF
cmake --build build-sanitize -j"$(nproc)"
# The end-to-end runs of the WebKitGTK executable are left to the plain build,
# to keep CI within its time; its own tests run here.
scripts/with-x.sh ctest --test-dir build-sanitize --output-on-failure -j2 -E '^x11_.*_webkitgtk(_user)?$'
