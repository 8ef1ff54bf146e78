#!/usr/bin/env bash
# Runs the host-link fuzz target: scripts/fuzz.sh runs N | seconds S [extra libFuzzer flags].
# Builds it with clang into build-fuzz/ first. New inputs go to build-fuzz/corpus
# (the seeds in fuzz/corpus stay as they are); a crash is written to
# build-fuzz/findings/ and ends the run with a non-zero status.
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

if [ ! -f build-fuzz/CMakeCache.txt ]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -DFUZZ=ON -DZUVO_BUILD_BENCH=OFF
fi
cmake --build build-fuzz -j2 --target fuzz_hostlink
mkdir -p build-fuzz/corpus build-fuzz/findings
# Leaks are looked for by the sanitizer build's tests; here they would only
# report the process-wide singletons.
export ASAN_OPTIONS="detect_leaks=0:allocator_may_return_null=1${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1${UBSAN_OPTIONS:+:$UBSAN_OPTIONS}"
exec build-fuzz/fuzz/fuzz_hostlink build-fuzz/corpus fuzz/corpus \
    -dict=fuzz/hostlink.dict -max_len=65536 -rss_limit_mb=4096 -timeout=20 \
    -artifact_prefix=build-fuzz/findings/ -close_fd_mask=2 -print_final_stats=1 "${limit[@]}" "$@"
