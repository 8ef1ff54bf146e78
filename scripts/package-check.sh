#!/usr/bin/env bash
# Builds the Debian packages from a build folder (default: build/), installs
# them with apt-get, runs the installed reference host against the installed
# browser on the offscreen platform, builds the host library's example against
# each installed development package (Qt 5, and Qt 6 where the build made it)
# and removes the packages again. The host must connect to the browser, the
# browser must load the built-in start page, and both must end with code 0 on
# "quit"; each example must find its library through find_package alone and
# load the runtime package's copy, the Qt 6 one no Qt 5 library. The Qt 5 and
# Qt 6 packages are installed side by side. Needs root or sudo.
set -euo pipefail
cd "$(dirname "$0")/.."
build="$(cd "${1:-build}" && pwd)"
package=zuvochatwebbroswer
dev_package=libzuvobrowserhost-dev
engine_package=zuvochatwebbroswer-webengine
lib6_package=libzuvobrowserhost6-1
dev6_package=libzuvobrowserhost6-dev
gtk_package=zuvochatwebbroswer-webkitgtk
start_page=qrc:/start/index.html
# A Qt 6 build has no Qt WebKit: its zuvochatwebbroswer is the WebKitGTK
# browser, and its host library the Qt 6 one.
qt="$(sed -n 's/^ZUVO_QT:STRING=//p' "$build/CMakeCache.txt")"
qt="${qt:-5}"

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
apt() { "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get "$@"; }

for p in "$package" "$dev_package" "$engine_package" "$lib6_package" "$dev6_package" "$gtk_package"; do
    rm -f "$build/${p}"_*.deb
done
(cd "$build" && cpack -G DEB)
deb="$(ls "$build/${package}"_*.deb)"
dev_deb="$(ls "$build/${dev_package}"_*.deb 2>/dev/null || true)"
[ "$qt" = 6 ] || [ -n "$dev_deb" ] || { echo "no ${dev_package} package" >&2; exit 1; }
# Built where Qt WebEngine is (-DZUVO_WEBENGINE=ON, the default).
engine_deb="$(ls "$build/${engine_package}"_*.deb 2>/dev/null || true)"
# Built where Qt 6 is (-DZUVO_HOSTLIB_QT6=ON, the default).
lib6_deb="$(ls "$build/${lib6_package}"_*.deb 2>/dev/null || true)"
dev6_deb="$(ls "$build/${dev6_package}"_*.deb 2>/dev/null || true)"
# Built where WebKitGTK and Qt's Wayland compositor are.
gtk_deb="$(ls "$build/${gtk_package}"_*.deb 2>/dev/null || true)"
for file in "$deb" $dev_deb $engine_deb $lib6_deb $dev6_deb $gtk_deb; do
    echo "package: $file"
    dpkg-deb --field "$file" Package Version Depends
done
# What each engine gets on this release, read from its installed package;
# the README names the engines each release builds by default, which on
# Debian 12 are Qt 5's.
release="$(. /etc/os-release && echo "${VERSION_ID:-}")"
[ "$release" = 12 ] && [ "$qt" = 6 ] || scripts/engine-security.sh --check README.md

work="$(mktemp -d)"
host_pid=
finish() {
    local rc=$?
    exec 3>&- 2>/dev/null || true
    [ -n "$host_pid" ] && kill "$host_pid" 2>/dev/null || true
    for p in "$gtk_package" "$dev6_package" "$lib6_package" "$engine_package" "$dev_package" "$package"; do
        if dpkg-query -W "$p" >/dev/null 2>&1; then
            apt remove -y --purge "$p" >/dev/null
        fi
    done
    if [ "$rc" -ne 0 ]; then
        echo "--- host output"; cat "$work/out" 2>/dev/null || true
        echo "--- host and browser errors"; cat "$work/err" 2>/dev/null || true
    fi
    rm -rf "$work"
    exit "$rc"
}
trap finish EXIT

fail() { echo "package check failed: $*" >&2; exit 1; }

# --reinstall: a copy of the same version left on a developer's machine is replaced too.
# In a Qt 6 build the default package needs the WebKitGTK one.
if [ "$qt" = 6 ]; then
    apt install -y --reinstall "$deb" "$gtk_deb" $dev6_deb
else
    apt install -y --reinstall "$deb" "$dev_deb"
fi
host="$(dpkg -L "$package" | grep '/zuvohost$')"
folder="$(dirname "$host")"
[ -x "$folder/zuvochatwebbroswer" ] || fail "no browser beside $host"
for licence in LICENSE-OpenSans.txt LICENSE-Deng.txt; do
    dpkg -L "$package" | grep "^/usr/share/doc/.*/$licence$" >/dev/null || fail "$licence is not installed"
done

# The installed host against an installed browser: it must connect, load the
# built-in start page, and end with code 0 on "quit". The host reads its
# commands from a pipe that stays open, so "quit" is sent only once the start
# page has arrived.
check_host_run() {
    local browser="$1" loaded="$2"
    rm -f "$work/in" "$work/out" "$work/err"
    mkfifo "$work/in"
    (cd "$work" && QT_QPA_PLATFORM=offscreen exec "$host" --browser "$browser" --url "$start_page" <in >out 2>err) &
    host_pid=$!
    exec 3>"$work/in"

    # The start page's own line: a browser that prepares its engine ahead
    # reports its blank page first.
    for _ in $(seq 1 600); do
        grep -qF "$loaded \"$start_page\"" "$work/err" && break
        kill -0 "$host_pid" 2>/dev/null || break
        sleep 0.1
    done
    grep -qF "$loaded \"$start_page\"" "$work/err" || fail "$browser did not load $start_page"

    echo quit >&3
    exec 3>&-
    for _ in $(seq 1 150); do
        kill -0 "$host_pid" 2>/dev/null || break
        sleep 0.1
    done
    kill -0 "$host_pid" 2>/dev/null && fail "the host did not end within 15 s of quit"
    local host_rc=0
    wait "$host_pid" || host_rc=$?
    host_pid=

    local endpoint="/tmp/$(printf '%s' "$folder" | md5sum | cut -c1-32)-ChannelWebBroswerProcess-"
    grep -qF "host: listening on $endpoint" "$work/out" || fail "the host does not listen on ${endpoint}…"
    grep -qx "host: browser connected" "$work/out" || fail "$browser did not connect"
    grep -qx "host: browser exited with code 0" "$work/out" || fail "$browser did not exit with code 0"
    [ "$host_rc" -eq 0 ] || fail "the host exited with code $host_rc"
}
if [ "$qt" = 6 ]; then
    check_host_run "$folder/zuvochatwebbroswer" "WebKitGtkContent::loadFinished true"
else
    check_host_run "$folder/zuvochatwebbroswer" "ZuvoChatWebKitView::loadFinished true"
fi

# The WebEngine package: its browser beside the other, depending on Qt
# WebEngine where the default package does not.
if [ -n "$engine_deb" ]; then
    dpkg-deb --field "$deb" Depends | grep webengine >/dev/null && fail "$package depends on Qt WebEngine"
    dpkg-deb --field "$engine_deb" Depends | grep "libqt${qt}webenginewidgets${qt}" >/dev/null || fail "$engine_package does not depend on Qt WebEngine"
    dpkg-deb --field "$engine_deb" Depends | grep webkit >/dev/null && fail "$engine_package depends on Qt WebKit"
    apt install -y --reinstall "$engine_deb"
    [ -x "$folder/zuvochatwebbroswer-webengine" ] || fail "no WebEngine browser in $folder"
    check_host_run "$folder/zuvochatwebbroswer-webengine" "ZuvoWebEngineView::loadFinished true"
    apt remove -y --purge "$engine_package" >/dev/null
    [ ! -e "$folder/zuvochatwebbroswer-webengine" ] || fail "the WebEngine browser is still there after removing it"
fi

# The WebKitGTK package: its browser, helper and extension beside the others,
# depending on neither Qt engine.
if [ -n "$gtk_deb" ]; then
    dpkg-deb --field "$gtk_deb" Depends | grep libwebkit2gtk-4.1 >/dev/null || fail "$gtk_package does not depend on WebKitGTK"
    dpkg-deb --field "$gtk_deb" Depends | grep -E "libqt5webkit|webengine" >/dev/null && fail "$gtk_package depends on a Qt engine"
    apt install -y --reinstall "$gtk_deb"
    for file in zuvochatwebbroswer-webkitgtk zuvochatwebkitgtkhelper zuvochatwebkitgtk-extension/zuvochatwebkitgtkextension.so; do
        [ -e "$folder/$file" ] || fail "no $file in $folder"
    done
    check_host_run "$folder/zuvochatwebbroswer-webkitgtk" "WebKitGtkContent::loadFinished true"
    # In a Qt 6 build removing it removes the default package too: it goes last.
    if [ "$qt" != 6 ]; then
        apt remove -y --purge "$gtk_package" >/dev/null
        [ ! -e "$folder/zuvochatwebbroswer-webkitgtk" ] || fail "the WebKitGTK browser is still there after removing it"
    fi
fi

# The development package: the library's public side, enough for find_package
# with nothing but the default prefix.

# A development package: the library's public side, enough for find_package
# with nothing but the default prefix. The example built for Qt $1 against it
# must load the runtime package's $2, and only the Qt it was built for.
check_example() {
    local qt="$1" library="$2" dev="$3" name headers
    name="$(basename "$library" .so.1)"
    # Qt 6 headers in a folder of their own, included as with Qt 5.
    headers="/include/ZuvoBrowserHost"
    [ "$qt" = 5 ] || headers="/include/${name#lib}/ZuvoBrowserHost"
    for file in "$headers/browserhost.h" "/cmake/${name#lib}/${name#lib}Config.cmake" "/$name.so"; do
        dpkg -L "$dev" | grep "$file$" >/dev/null || fail "$dev has no …$file"
    done
    cmake -S examples/minimal-host -B "$work/example$qt" -DZUVO_QT="$qt" >/dev/null
    cmake --build "$work/example$qt" >/dev/null
    local libraries loaded
    libraries="$(ldd "$work/example$qt/minimal-host")"
    loaded="$(awk -v soname="$(basename "$library")" '$1 == soname { print $3 }' <<<"$libraries")"
    [ -n "$loaded" ] && [ "$(readlink -f "$loaded")" = "$(readlink -f "$library")" ] ||
        fail "the Qt $qt example loads \"$loaded\", not $library"
    local other=5
    [ "$qt" = 5 ] && other=6
    grep -q "libQt${other}" <<<"$libraries" && fail "the Qt $qt example loads Qt $other"
    local example_rc=0
    "$work/example$qt/minimal-host" 2>/dev/null || example_rc=$?
    [ "$example_rc" -eq 2 ] || fail "the Qt $qt example without arguments exited with $example_rc, not 2 (usage)"
}
library=
library6=
if [ "$qt" = 6 ]; then
    # The Qt 6 runtime file is the default package's, as zuvohost links it.
    library6="$(dpkg -L "$package" | grep '/libZuvoBrowserHost6\.so\.1$')" || fail "$package has no libZuvoBrowserHost6.so.1"
    check_example 6 "$library6" "$dev6_package"
else
    library="$(dpkg -L "$package" | grep '/libZuvoBrowserHost\.so\.1$')" || fail "$package has no libZuvoBrowserHost.so.1"
    check_example 5 "$library" "$dev_package"
fi

# The Qt 6 packages, beside the Qt 5 ones: no file of theirs is the other's.
if [ -n "$lib6_deb" ]; then
    apt install -y --reinstall "$lib6_deb" "$dev6_deb"
    library6="$(dpkg -L "$lib6_package" | grep '/libZuvoBrowserHost6\.so\.1$')" ||
        fail "$lib6_package has no libZuvoBrowserHost6.so.1"
    check_example 6 "$library6" "$dev6_package"
    apt remove -y --purge "$dev6_package" "$lib6_package" >/dev/null
    [ ! -e "$library6" ] || fail "$library6 is still there after removing the package"
fi

if [ "$qt" = 6 ]; then
    apt remove -y --purge "$package" "$dev6_package" "$gtk_package" >/dev/null
    [ ! -e "$library6" ] || fail "$library6 is still there after removing the package"
else
    apt remove -y --purge "$package" "$dev_package" >/dev/null
    [ ! -e "$library" ] || fail "$library is still there after removing the package"
fi
[ ! -e "$host" ] || fail "$host is still there after removing the package"
echo "package check: $(basename "$deb") ${engine_deb:+and $(basename "$engine_deb") }installed into $folder, start page shown, exit code 0;" \
     "${dev_deb:+$(basename "$dev_deb") builds the example against $library, }${library6:+$(basename "$dev6_deb") the Qt 6 one against $library6; }all removed"
