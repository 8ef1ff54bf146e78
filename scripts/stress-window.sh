#!/usr/bin/env bash
# Not part of CI. Starts the browser 20 times (or $1 times) one after another
# on one Xvfb + openbox session while both cores are kept busy, and checks in
# each start that the first position report carries the frame openbox drew
# within two seconds and that edge drags are exact. Prints one line per start
# and the count of good starts. Build first (scripts/build.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${1:-20}
test_binary=build/tests/x11_window
[ -x "$test_binary" ] || { echo "build first: $test_binary is missing" >&2; exit 2; }

if [ -z "${ZUVO_STRESS_INSIDE_X:-}" ]; then
    ZUVO_STRESS_INSIDE_X=1 exec scripts/with-x.sh "$0" "$runs"
fi

burners=()
stop_burners() {
    for pid in "${burners[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
}
trap stop_burners EXIT
for _ in 1 2; do
    ( while :; do :; done ) &
    burners+=($!)
done

good=0
for run in $(seq 1 "$runs"); do
    log=$(mktemp)
    if "$test_binary" firstReportAndExactEdgeDrags >"$log" 2>&1; then
        good=$((good + 1))
        echo "start $run: ok"
    else
        echo "start $run: FAILED"
        grep -E "FAIL|Actual|Expected|Loc" "$log" | sed 's/^/    /'
    fi
    rm -f "$log"
done
echo "$good of $runs starts good"
[ "$good" -eq "$runs" ]
