#!/usr/bin/env bash
# Installs what building, running and testing the browser needs, for the
# release /etc/os-release names: Debian 12 (Qt 5 with Qt WebKit, and Qt 6) or
# Debian 13 (Qt 6 only). Works on a minimal system, as root without sudo.
set -euo pipefail

release="$(. /etc/os-release && echo "${ID:-unknown}:${VERSION_ID:-}")"

# What a release needs, by role, for a release not listed below.
roles() {
    cat >&2 <<EOF
install-deps.sh: no package list for this release ($release); Debian 12 and 13 are known.
Install these with the release's package manager, then build with scripts/build.sh:
  - build: a C++17 compiler, CMake 3.16 or newer, make, pkg-config, and the
    Debian package tools cpack calls (dpkg-shlibdeps from dpkg-dev, file)
  - Qt 6.4 or newer: base development files (Core, Gui, Widgets, Network, Test),
    WebEngine (Widgets), the Wayland compositor library, and the Wayland client
    platform plugin; on Debian 12, Qt 5.15 with Qt WebKit and Qt WebEngine too
  - WebKitGTK 4.1 development files with GTK 3, bubblewrap and xdg-dbus-proxy
    (its sandbox), wayland-scanner and wayland-protocols, xcb development files
  - fonts: Open Sans, DejaVu and Noto CJK; Qt's linguist tools and Qt's own
    translations; the locales zh_CN, zh_TW, ja_JP, de_DE and es_ES (UTF-8)
  - tests: Xvfb, the openbox window manager, xdotool, xdpyinfo and xev,
    setxkbmap, ImageMagick's import, sway and grim (the Wayland runs), openssl,
    ps, python3, dbus-daemon and dbus-send, at-spi2-core and libatspi's
    development files (the accessibility run)
  - sanitizer and fuzz runs (Debian 12 only): clang with its runtime libraries
EOF
}

case "$release" in
debian:12)
    packages=(
        cmake make g++ pkg-config
        # cpack's DEB generator finds the binaries' library dependencies with these
        dpkg-dev file
        qtbase5-dev libqt5webkit5-dev qtwebengine5-dev libxcb1-dev
        # the host library's second build, for chat clients on Qt 6, and the
        # browser's Qt 6 build (-DZUVO_QT=6): WebEngine, the compositor of the
        # WebKitGTK executable, and Qt's Wayland client plugin for the sway runs
        qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin qt6-wayland-dev qt6-wayland
        # the third executable: WebKitGTK in a helper drawing on an in-process
        # Wayland compositor, sandboxed with bubblewrap where it can start
        libwebkit2gtk-4.1-dev libqt5waylandcompositor5-dev bubblewrap xdg-dbus-proxy
        # its compositor's text-input protocol, generated at build time
        wayland-protocols libwayland-bin
        fonts-open-sans fonts-dejavu-core
        # the window's own texts in other languages: catalogues built with Qt's
        # linguist tools, Qt's own catalogues for its dialogs, CJK glyphs, and
        # the locales the translated runs start under
        qttools5-dev-tools qttools5-dev qttranslations5-l10n
        qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
        fonts-noto-cjk locales
        xvfb xauth openbox xdotool x11-utils x11-apps imagemagick
        # the Wayland runs: a headless compositor, the toolkit's Wayland platform, screenshots
        sway qtwayland5 grim
        openssl
        clang libclang-rt-14-dev
        # what the tests and scripts call that a minimal system lacks: ps,
        # setxkbmap, the example check's page server
        procps x11-xkb-utils python3
        # the accessibility run: a private session bus, at-spi2-core's bus
        # launcher on it, and libatspi to read the window as screen readers do
        dbus-daemon dbus-bin at-spi2-core libatspi2.0-dev
    )
    ;;
debian:13)
    # No Qt WebKit here: the browser builds on Qt 6 alone. The sanitizer and
    # fuzz runs stay on Debian 12, so no clang either.
    packages=(
        cmake make g++ pkg-config
        dpkg-dev file
        qt6-base-dev qt6-webengine-dev libqt6webenginecore6-bin libxcb1-dev
        libwebkit2gtk-4.1-dev qt6-wayland-dev bubblewrap xdg-dbus-proxy
        wayland-protocols libwayland-bin
        fonts-open-sans fonts-dejavu-core
        qt6-tools-dev qt6-l10n-tools qt6-translations-l10n fonts-noto-cjk locales
        xvfb xauth openbox xdotool x11-utils x11-apps imagemagick
        sway qt6-wayland grim
        openssl
        procps x11-xkb-utils python3
        dbus-daemon dbus-bin at-spi2-core libatspi2.0-dev
    )
    ;;
*)
    roles
    exit 1
    ;;
esac

if [ "$(id -u)" -eq 0 ]; then
    sudo=()
else
    sudo=(sudo)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    "${sudo[@]}" apt-get update
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# The translated runs start the browser under these locales; generated only
# when missing, since locale-gen rebuilds every enabled locale.
locales=(zh_CN.UTF-8 zh_TW.UTF-8 ja_JP.UTF-8 de_DE.UTF-8 es_ES.UTF-8)
generate=0
for l in "${locales[@]}"; do
    # locale -a names zh_CN.UTF-8 "zh_CN.utf8"
    if ! locale -a 2>/dev/null | grep -qx "${l%%.*}.utf8"; then
        if grep -q "^# *$l UTF-8\$" /etc/locale.gen 2>/dev/null; then
            "${sudo[@]}" sed -i "s/^# *$l UTF-8\$/$l UTF-8/" /etc/locale.gen
        elif ! grep -qx "$l UTF-8" /etc/locale.gen 2>/dev/null; then
            echo "$l UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
        fi
        generate=1
    fi
done
if [ "$generate" -eq 1 ]; then
    "${sudo[@]}" locale-gen
fi
