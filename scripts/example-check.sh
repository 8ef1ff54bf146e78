#!/usr/bin/env bash
# Installs the project from a build folder (default: build/) into a staging
# folder (DESTDIR), builds examples/minimal-host against each host library
# package installed there (Qt 5, and Qt 6 where the build made it) and runs it
# against the installed browsers on a page served on loopback: the Qt 5 build
# against the Qt WebKit browser, the Qt 6 build against each browser there.
# Each run must print a position report, answer the page's user-information
# query (the page logs what it got back), send the access token with the page
# request, and end with code 0 once the window is closed; the Qt 6 build must
# load no Qt 5 library. Needs an X server with a window manager: run it
# through scripts/with-x.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir="$(pwd)"
build="$(cd "${1:-build}" && pwd)"

work="$(mktemp -d)"
server_pid=
host_pid=
finish() {
    local rc=$?
    if [ "$rc" -ne 0 ] && [ -n "$host_pid" ] && kill -0 "$host_pid" 2>/dev/null; then
        # Where a host or browser that should have ended is waiting.
        echo "--- processes"; ps -o pid,ppid,stat,wchan:24,etime,args --pid "$host_pid" --ppid "$host_pid" || true
        if command -v gdb >/dev/null; then
            for pid in "$host_pid" $(pgrep -P "$host_pid"); do
                echo "--- threads of $pid"
                gdb -p "$pid" -batch -ex 'thread apply all bt 12' 2>/dev/null | grep -E '^(Thread|#)' || true
            done
        fi
    fi
    [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null || true
    [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
    if [ "$rc" -ne 0 ]; then
        echo "--- example output"; cat "$work/out" 2>/dev/null || true
        echo "--- example and browser errors"; tail -n 40 "$work/err" 2>/dev/null || true
        echo "--- page server"; cat "$work/server.log" 2>/dev/null || true
    fi
    rm -rf "$work"
    exit "$rc"
}
trap finish EXIT
fail() { echo "example check failed: $*" >&2; exit 1; }

stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" >/dev/null
prefix="$(sed -n 's/^CMAKE_INSTALL_PREFIX:PATH=//p' "$build/CMakeCache.txt")"
root="$stage$prefix"
browser="$(find "$root" -name zuvochatwebbroswer -type f -perm -u+x | head -n 1)"
[ -n "$browser" ] || fail "no browser installed under $root"
engine_browser="$(find "$root" -name zuvochatwebbroswer-webengine -type f -perm -u+x | head -n 1)"

# Builds the example for Qt $1 into $work/example$1 against the staged
# package of that Qt's library, $2, with only the staged prefix to find it by.
build_example() {
    local qt="$1" library_name="$2"
    local library
    library="$(find "$root" -name "$library_name.*" -type f | head -n 1)"
    [ -n "$library" ] || fail "no $library_name installed under $root"
    cmake -S "$source_dir/examples/minimal-host" -B "$work/example$qt" -DZUVO_QT="$qt" \
        -DCMAKE_PREFIX_PATH="$root" >/dev/null
    cmake --build "$work/example$qt" >/dev/null
    # Read whole first: grep -q ends at the first match, and ldd writing on
    # into the closed pipe would fail the pipeline.
    local libraries
    libraries="$(LD_LIBRARY_PATH="$(dirname "$library")" ldd "$work/example$qt/minimal-host")"
    grep -qF "$(dirname "$library")/$library_name" <<<"$libraries" ||
        fail "the Qt $qt example does not load the staged $library_name"
    if [ "$qt" = 6 ] && grep -q 'libQt5' <<<"$libraries"; then
        fail "the Qt 6 example loads Qt 5: $(grep 'libQt5' <<<"$libraries" | tr -s '\t\n' ' ')"
    fi
}
library="$(find "$root" -name 'libZuvoBrowserHost.so.*' -type f | head -n 1)"
[ -n "$library" ] || fail "no libZuvoBrowserHost installed under $root"
export LD_LIBRARY_PATH="$(dirname "$library")"
build_example 5 libZuvoBrowserHost.so.1
qt6="$(find "$root" -name 'libZuvoBrowserHost6.so.*' -type f)"
[ -z "$qt6" ] || build_example 6 libZuvoBrowserHost6.so.1

# The page asks for the user and logs the answer; the server notes the token.
mkdir "$work/site"
cat >"$work/site/index.html" <<'PAGE'
<!doctype html>
<title>Example page</title>
<p id="who"></p>
<script>
var bridge = window.zuvowebkitbridge;
var info = bridge ? bridge.getCurrentUserInfo() : "no bridge";
document.getElementById("who").textContent = info;
if (bridge) bridge.postLog("user information: " + info);
</script>
PAGE
python3 -u - "$work/site" >"$work/server.log" 2>&1 <<'SERVER' &
import functools, http.server, sys
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, format, *args):
        print("%s token=%s" % (self.path, self.headers.get("X-Access-Token")), flush=True)
handler = functools.partial(Handler, directory=sys.argv[1])
server = http.server.HTTPServer(("127.0.0.1", 0), handler)
print("port", server.server_address[1], flush=True)
server.serve_forever()
SERVER
server_pid=$!
port=
for _ in $(seq 1 100); do
    port="$(sed -n 's/^port //p' "$work/server.log")"
    [ -n "$port" ] && break
    sleep 0.1
done
[ -n "$port" ] || fail "the page server did not start"

# One run: example $1 against browser $2 on the page, until its window is
# closed as a user closes it.
run_example() {
    local example="$1" browser="$2" label="$3"
    local requests_before
    requests_before="$(wc -l <"$work/server.log")"
    "$example" "$browser" "http://127.0.0.1:$port/" >"$work/out" 2>"$work/err" &
    host_pid=$!
    for _ in $(seq 1 300); do
        grep -q '^position ' "$work/out" && grep -q '^page: ' "$work/out" && break
        kill -0 "$host_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -q '^position [0-9-]*,[0-9-]* [0-9]*x[0-9]*' "$work/out" || fail "$label: no position report"
    grep -qxF 'page: user information: {"name":"Ada Example"}' "$work/out" || fail "$label: the page did not get the answer"
    tail -n "+$((requests_before + 1))" "$work/server.log" | grep -qxF '/ token=example-token' ||
        fail "$label: the page request did not carry the token"

    # Closed as a user closes it: the window manager's close key.
    local window
    window="$(xdotool search --name '^Minimal host$' | head -n 1)"
    [ -n "$window" ] || fail "$label: no window titled \"Minimal host\""
    xdotool windowactivate --sync "$window" key --clearmodifiers alt+F4
    for _ in $(seq 1 150); do
        kill -0 "$host_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$host_pid" 2>/dev/null && fail "$label: the example did not end within 15 s of closing the window"
    local host_rc=0
    wait "$host_pid" || host_rc=$?
    host_pid=
    [ "$host_rc" -eq 0 ] || fail "$label: the example exited with code $host_rc"
    grep -qx 'browser ended with code 0' "$work/out" || fail "$label: the browser did not end with code 0"

    echo "example check: $label, built against the package staged in $prefix; its output:"
    sed 's/^/    /' "$work/out"
}
run_example "$work/example5/minimal-host" "$browser" "minimal-host on Qt 5 with $(basename "$browser")"
if [ -n "$qt6" ]; then
    for b in "$browser" $engine_browser; do
        run_example "$work/example6/minimal-host" "$b" "minimal-host on Qt 6 with $(basename "$b")"
    done
fi
