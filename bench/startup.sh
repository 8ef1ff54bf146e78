#!/usr/bin/env bash
# Start-to-load time and resident memory of the browser window in test mode
# against a bare QWebView program on the same built-in page, each with and
# without Qt's GLX integration. Run it on an X server, e.g.
#   scripts/with-x.sh bench/startup.sh [build-dir] [runs]
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
runs="${2:-7}"
bench="$build/bench/bench_startup"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }

measure() {
    local label="$1" mode="$2" gl="$3"
    local loads=() rss=()
    for _ in $(seq 1 "$runs"); do
        local line
        line=$(env QT_XCB_GL_INTEGRATION="$gl" ZUVO_BENCH_T0="$(date +%s%N)" "$bench" "$mode" 2>/dev/null)
        loads+=("$(awk '{print $2}' <<<"$line")")
        rss+=("$(awk '{print $6}' <<<"$line")")
    done
    printf '%-34s load %7.1f ms   rss %6.1f MB\n' "$label" \
        "$(printf '%s\n' "${loads[@]}" | median)" \
        "$(printf '%s\n' "${rss[@]}" | median | awk '{print $1/1024}')"
}

echo "medians of $runs runs each"
measure "browser, QT_XCB_GL_INTEGRATION=none" browser none
measure "bare QWebView, =none" bare none
measure "browser, GLX integration" browser xcb_glx
measure "bare QWebView, GLX integration" bare xcb_glx
