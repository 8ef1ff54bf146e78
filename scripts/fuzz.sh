#!/usr/bin/env bash
# Runs the host-link fuzz target: scripts/fuzz.sh runs N | seconds S [extra libFuzzer flags].
# Builds it with clang into build-fuzz/ (or $ZUVO_FUZZ_BUILD) first. New inputs go
# to corpus/ there (the seeds in fuzz/corpus stay as they are); a crash is
# written to findings/ there and ends the run with a non-zero status.
# ZUVO_FUZZ_JOBS=N runs N processes side by side on the one corpus, each for the
# whole amount, with their output in fuzz-<i>.log there.
set -euo pipefail
cd "$(dirname "$0")/.."
mode=${1:-seconds}
amount=${2:-60}
shift 2 || true
case "$mode" in
    runs) limit=(-runs="$amount") ;;
    seconds) limit=(-max_total_time="$amount") ;;
    *) echo "usage: $0 runs N | seconds S [libFuzzer flags]" >&2; exit 2 ;;
esac

build=${ZUVO_FUZZ_BUILD:-build-fuzz}
if [ ! -f "$build/CMakeCache.txt" ]; then
    CC=clang CXX=clang++ cmake -S . -B "$build" -DFUZZ=ON -DZUVO_BUILD_BENCH=OFF
fi
cmake --build "$build" -j2 --target fuzz_hostlink
mkdir -p "$build/corpus" "$build/findings"
# Leak reports would only name the process-wide singletons and Qt's caches.
# Any single allocation above 2 GiB is a finding; short allocation stacks and
# no libFuzzer malloc hooks (no -rss_limit_mb) roughly halve the time an input
# costs, which goes mostly to the allocator.
export ASAN_OPTIONS="detect_leaks=0:max_allocation_size_mb=2048:malloc_context_size=8${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
jobs=${ZUVO_FUZZ_JOBS:-1}
if [ "$jobs" -gt 1 ]; then
    limit+=(-jobs="$jobs" -workers="$jobs")
fi
source=$PWD
cd "$build"
exec fuzz/fuzz_hostlink corpus "$source/fuzz/corpus" \
    -dict="$source/fuzz/hostlink.dict" -max_len=16384 -rss_limit_mb=0 -timeout=20 \
    -artifact_prefix=findings/ -close_fd_mask=2 -print_final_stats=1 "${limit[@]}" "$@"
