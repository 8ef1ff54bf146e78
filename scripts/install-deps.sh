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
    # the window's own texts in other languages: catalogues built with Qt's
    # linguist tools, Qt's own catalogues for its dialogs, CJK glyphs, and
    # the locales the translated runs start under
    qttools5-dev-tools qttools5-dev qttranslations5-l10n qt6-translations-l10n
    fonts-noto-cjk locales
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
