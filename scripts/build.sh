#!/usr/bin/env bash
# Configures and builds into build/ (extra arguments go to CMake).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build "$@"
cmake --build build -j"$(nproc)"
