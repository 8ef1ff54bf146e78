#!/usr/bin/env bash
# Runs every benchmark of a build directory (default: build/) and prints its
# figures. bench_startup and the WebKitGTK ones, which run a bare GTK window
# beside the browser, need an X server: run the whole set under
# scripts/with-x.sh, or they are skipped. bench_userinfo_process and
# bench_flood run each built browser executable as a real process. Exits
# non-zero if any benchmark failed.
set -uo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"

failed=()
ran=0
for bench in "$build"/bench/bench_*; do
    # The build folder also holds the bench_*_autogen folders.
    [ -f "$bench" ] && [ -x "$bench" ] || continue
    name="$(basename "$bench")"
    # startup.sh runs both engines' start-up programs side by side.
    # Without Qt WebKit (a Qt 6 build) the WebEngine one stands in for it here.
    case "$name" in bench_startup_webkitgtk | bench_bare_webkitgtk) continue ;; esac
    if [ "$name" = bench_startup_webengine ]; then
        [ -x "$build/bench/bench_startup" ] && continue
        name=bench_startup
    fi
    echo "== $name"
    if [ "$name" = bench_userinfo_process ] || [ "$name" = bench_flood ]; then
        # The real browser process of each engine built.
        for browser in "$build"/src/zuvochatwebbroswer "$build"/src/zuvochatwebbroswer-webengine \
            "$build"/src/zuvochatwebbroswer-webkitgtk; do
            # A link (a Qt 6 build's default name) is one of the others again.
            [ -x "$browser" ] && [ ! -L "$browser" ] || continue
            "$bench" "$browser" 2>/dev/null || failed+=("$name $(basename "$browser")")
        done
    elif [ -z "${DISPLAY:-}" ] && [[ "$name" = bench_startup || "$name" = bench_firstpage || "$name" = *_webkitgtk ]]; then
        echo "skipped: needs an X server (scripts/with-x.sh bench/run.sh)"
        continue
    elif [ "$name" = bench_firstpage ]; then
        # Every engine built in one run, against the first one's pre-started figure.
        browsers=()
        for browser in "$build"/src/zuvochatwebbroswer "$build"/src/zuvochatwebbroswer-webengine \
            "$build"/src/zuvochatwebbroswer-webkitgtk; do
            [ -x "$browser" ] && browsers+=("$browser")
        done
        QT_QPA_PLATFORM=xcb "$bench" "${browsers[@]}" 2>/dev/null || failed+=("$name")
    elif [ "$name" = bench_startup ]; then
        # One start proves little: startup.sh takes medians against a bare view of each engine.
        QT_QPA_PLATFORM=xcb "$here/startup.sh" "$build" || failed+=("$name")
    elif [ "$name" = bench_input_webkitgtk ]; then
        # Both windows on the X server, measured from outside alike.
        "$bench" "$build/src/zuvochatwebbroswer-webkitgtk" "$build/bench/bench_bare_webkitgtk" 2>/dev/null ||
            failed+=("$name")
    else
        "$bench" 2>/dev/null || failed+=("$name")
    fi
    ran=$((ran + 1))
done

if [ "$ran" -eq 0 ]; then
    echo "no benchmark in $build/bench: build first" >&2
    exit 1
fi
if [ "${#failed[@]}" -gt 0 ]; then
    echo "failed: ${failed[*]}" >&2
    exit 1
fi
