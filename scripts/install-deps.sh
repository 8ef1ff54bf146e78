#!/usr/bin/env bash
# Installs what building, running and testing the browser needs on Debian 12.
set -euo pipefail

packages=(
    cmake make g++ pkg-config
    # cpack's DEB generator finds the binaries' library dependencies with these
    dpkg-dev file
    qtbase5-dev libqt5webkit5-dev qtwebengine5-dev libxcb1-dev
    # the host library's second build, for chat clients on Qt 6
    qt6-base-dev
    # the third executable: WebKitGTK in a helper drawing on an in-process
    # Wayland compositor, sandboxed with bubblewrap where it can start
    libwebkit2gtk-4.1-dev libqt5waylandcompositor5-dev bubblewrap xdg-dbus-proxy
    # its compositor's text-input protocol, generated at build time
    wayland-protocols libwayland-bin
    fonts-open-sans fonts-dejavu-core
    xvfb xauth openbox xdotool x11-utils x11-apps imagemagick
    # the Wayland runs: a headless compositor, the toolkit's Wayland platform, screenshots
    sway qtwayland5 grim
    openssl
    clang libclang-rt-14-dev
)

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -eq 0 ]; then
    exit 0
fi
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
