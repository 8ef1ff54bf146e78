# Sourced by the scripts that run a command as a normal user would: sway
# refuses root, and WebKit's and Chromium's sandboxes start only for a normal
# user. Run as root (as CI does), that is the unprivileged user zuvo-wayland,
# created here if missing; otherwise the caller. Sets user and as_user (the
# command prefix), and defines reachable and stage_command, which need the
# caller's folder for copies in $staging, owned by that user.

if [ "$(id -u)" -eq 0 ]; then
    user=zuvo-wayland
    # Two sessions starting at once may race to create the user.
    id -u "$user" >/dev/null 2>&1 || useradd --system --no-create-home --shell /usr/sbin/nologin "$user" ||
        id -u "$user" >/dev/null
    as_user=(setpriv --reuid="$user" --regid="$user" --init-groups --reset-env --)
else
    user="$(id -un)"
    as_user=()
fi

# The file, or where the user cannot reach it (a checkout in root's home), a
# copy of it in $staging; with "copy", a copy wherever it is.
reachable() {
    if [ "${#as_user[@]}" -eq 0 ] || { [ "${2:-}" != copy ] && "${as_user[@]}" test -x "$1"; }; then
        echo "$1"
        return
    fi
    mkdir -p "$staging"
    cp "$1" "$staging/"
    chown -R "$user" "$staging"
    echo "$staging/$(basename "$1")"
}

# Sets command to the arguments, with the program and the browser that
# ZUVO_TEST_BROWSER names made reachable.
stage_command() {
    command=("$@")
    if [[ "$1" == */* ]]; then
        command[0]="$(reachable "$1")"
    fi
    if [ -n "${ZUVO_TEST_BROWSER:-}" ]; then
        # The WebKitGTK build finds its helper and extension beside itself.
        local browser_dir
        browser_dir="$(dirname "$ZUVO_TEST_BROWSER")"
        if [[ "$ZUVO_TEST_BROWSER" == *webkitgtk ]] && [ -e "$browser_dir/zuvochatwebkitgtkhelper" ]; then
            reachable "$browser_dir/zuvochatwebkitgtkhelper" copy >/dev/null
            if [ -d "$staging" ]; then
                cp -r "$browser_dir/zuvochatwebkitgtk-extension" "$staging/"
                chown -R "$user" "$staging"
            fi
        fi
        # Always a copy: the browser's endpoint follows its folder, and a
        # socket that root's runs of the same browser left there would be
        # one this user may not replace.
        ZUVO_TEST_BROWSER="$(reachable "$ZUVO_TEST_BROWSER" copy)"
    fi
}

# The caller's settings for the command (the test's own and Qt's) go through.
passed_settings() {
    passed=()
    while IFS= read -r name; do
        passed+=("$name=${!name}")
    done < <(compgen -e | grep -E '^(ZUVO_|QT_|ASAN_|UBSAN_)' || true)
}
