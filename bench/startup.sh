#!/usr/bin/env bash
# Start-to-load time and memory of the browser window in test mode against a
# bare view program of the same engine on the same built-in page, for Qt
# WebKit and, when built, Qt WebEngine. Memory is the proportional set size
# of the program with every helper process it started (the page, GPU and
# zygote processes of Qt WebEngine), and the resident size of the program
# alone. Run it on an X server, e.g.
#   scripts/with-x.sh bench/startup.sh [build-dir] [runs] [--glx]
# --glx adds the WebKit rows with Qt's GLX integration.
set -euo pipefail
build="${1:-$(dirname "$0")/../build}"
runs="${2:-7}"
glx="${3:-}"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
field() { awk -v name="$1" '{for (i = 1; i < NF; i++) if ($i == name) print $(i + 1)}'; }

# One start: appends the program's line to the file given, or fails.
startOnce() {
    local bench="$1" mode="$2" gl="$3" lines="$4" line
    # The figures are printed before the program ends; how it ends is
    # not what is measured here.
    line=$(env QT_XCB_GL_INTEGRATION="$gl" ZUVO_BENCH_T0="$(date +%s%N)" $bench "$mode" 2>/dev/null) || true
    if [ "$(field ok <<<"$line")" != 1 ]; then
        echo "no page load from $bench $mode" >&2
        return 1
    fi
    echo "$line" >>"$lines"
}

# Prints "load_ms pss_mb rss_mb processes", medians of the lines in a file.
summarise() {
    echo "$(field load_ms <"$1" | median)" \
        "$(field pss_kib <"$1" | median | awk '{print $1/1024}')" \
        "$(field rss_kib <"$1" | median | awk '{print $1/1024}')" \
        "$(field processes <"$1" | median)"
}

row() {
    printf '%-36s load %7.1f ms   pss %6.1f MB   rss %6.1f MB   processes %s\n' "$1" $2
}

# The browser's figures, then the bare program's, then how they compare.
# A fourth argument is a bare program of its own, given the page's address;
# the fifth and sixth the targets, when not those of the Qt engines.
compare() {
    local engine="$1" bench="$2" gl="$3" bare_bench="${4:-}" start_target="${5:-1.1}" pss_target="${6:-10}"
    local browser_lines bare_lines browser bare
    browser_lines=$(mktemp) bare_lines=$(mktemp)
    # Taken in turns, so that whatever else the machine does weighs on both.
    local failed=0
    for _ in $(seq 1 "$runs"); do
        startOnce "$bench" browser "$gl" "$browser_lines" || { failed=1; break; }
        if [ -n "$bare_bench" ]; then
            startOnce "$bare_bench" "$ZUVO_BENCH_PAGE" "$gl" "$bare_lines" || { failed=1; break; }
        else
            startOnce "$bench" bare "$gl" "$bare_lines" || { failed=1; break; }
        fi
    done
    browser=$(summarise "$browser_lines")
    bare=$(summarise "$bare_lines")
    rm -f "$browser_lines" "$bare_lines"
    [ "$failed" = 0 ] || return 1
    row "$engine browser" "$browser"
    row "$engine bare view" "$bare"
    read -r bl bp _ _ <<<"$browser"
    read -r nl np _ _ <<<"$bare"
    awk -v bl="$bl" -v nl="$nl" -v bp="$bp" -v np="$np" -v e="$engine" -v st="$start_target" -v pt="$pss_target" 'BEGIN {
        printf "%-36s start %.2f x the bare view (target at most %s x), pss %+.1f MB (target at most +%s MB)\n",
            e " browser against bare", bl / nl, st, bp - np, pt }'
}

echo "medians of $runs runs each, QT_XCB_GL_INTEGRATION=none"
# Qt WebKit where the build has it (Qt 5).
if [ -x "$build/bench/bench_startup" ]; then
    compare "Qt WebKit" "$build/bench/bench_startup" none
else
    echo "Qt WebKit: not built"
fi
if [ -x "$build/bench/bench_startup_webengine" ]; then
    compare "Qt WebEngine" "$build/bench/bench_startup_webengine" none
else
    echo "Qt WebEngine: not built"
fi
if [ -x "$build/bench/bench_startup_webkitgtk" ]; then
    # The same page for both, from its file: the bare window has no qrc:.
    ZUVO_BENCH_PAGE="file://$(cd "$(dirname "$0")/../src/startpage" && pwd)/index.html"
    export ZUVO_BENCH_PAGE
    compare "WebKitGTK" "$build/bench/bench_startup_webkitgtk" none "$build/bench/bench_bare_webkitgtk" 1.15 40
else
    echo "WebKitGTK: not built"
fi
if [ "$glx" = --glx ] && [ -x "$build/bench/bench_startup" ]; then
    echo "with Qt's GLX integration"
    compare "Qt WebKit, GLX" "$build/bench/bench_startup" xcb_glx
fi
