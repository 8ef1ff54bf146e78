#!/usr/bin/env bash
# Runs every benchmark of a build directory (default: build/) and prints its figures.
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
for bench in "$build"/bench/bench_*; do
    [ -x "$bench" ] || continue
    echo "== $(basename "$bench")"
    "$bench" 2>/dev/null
done
