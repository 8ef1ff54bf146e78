#!/usr/bin/env bash
# Prints, for each engine the executables load, the package of this Debian
# release that brings it, its version and the date of its last upload, read
# from the installed package; with --check README, fails unless the README
# names those same versions and dates.
set -euo pipefail

release="$(. /etc/os-release && echo "${VERSION_ID:-}")"
case "$release" in
    12) engines=(
            "zuvochatwebbroswer libqt5webkit5"
            "zuvochatwebbroswer-webengine libqt5webenginecore5"
            "zuvochatwebbroswer-webkitgtk libwebkit2gtk-4.1-0"
        ) ;;
    # No Qt WebKit: zuvochatwebbroswer is the WebKitGTK executable.
    13) engines=(
            "zuvochatwebbroswer-webengine libqt6webenginecore6"
            "zuvochatwebbroswer-webkitgtk libwebkit2gtk-4.1-0"
        ) ;;
    *) echo "engine security: no engine packages known for Debian ${release:-?}" >&2; exit 1 ;;
esac

last_upload() {
    # The trailer of the newest changelog entry: " -- Name <mail>  Day, DD Mon YYYY …".
    # Read whole first: a reader that stops early would fail the pipeline.
    local changelog
    changelog="$(zcat "/usr/share/doc/$1/changelog.Debian.gz")"
    grep -m1 '^ -- ' <<<"$changelog" |
        sed -E 's/.*>  [A-Za-z]{3}, ([0-9]{1,2}) ([A-Za-z]{3}) ([0-9]{4}).*/\1 \2 \3/'
}

readme="${2:-}"
status=0
for entry in "${engines[@]}"; do
    read -r executable package <<<"$entry"
    version="$(dpkg-query -W -f='${Version}' "$package")"
    uploaded="$(last_upload "$package")"
    echo "engine security: $executable loads $package $version, last uploaded $uploaded"
    if [ "${1:-}" = "--check" ]; then
        grep -F -- "$package $version" "$readme" >/dev/null &&
            grep -F -- "$uploaded" "$readme" >/dev/null || {
            echo "engine security: $readme does not say $package $version, uploaded $uploaded" >&2
            status=1
        }
    fi
done
exit "$status"
