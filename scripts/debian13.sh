#!/usr/bin/env bash
# Runs a command as root in a minimal Debian 13 (trixie) system, in a chroot
# on this machine: scripts/debian13.sh scripts/run-tests.sh
#
# The system is made once with debootstrap (minbase) from the archive apt on
# this machine already uses, and kept for later runs (ZUVO_DEBIAN13_ROOT,
# default /var/tmp/zuvo-debian13; ZUVO_DEBIAN13_FRESH=1 makes it anew). The
# source tree is copied to /zuvo inside it before each run, builds and all
# left where they are, so a build there never touches this tree's build/.
# /proc, /sys, /dev, /dev/pts, /dev/shm and this machine's /tmp are mounted
# for the command and unmounted again however it ends. The command starts in
# /zuvo with a clean environment: PATH, HOME=/root, LANG=C.UTF-8 and the
# caller's CI and ZUVO_* settings; no display, no session bus. Needs root.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
root="${ZUVO_DEBIAN13_ROOT:-/var/tmp/zuvo-debian13}"
suite=trixie

if [ "$#" -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGUMENT...]   (run in the source tree's copy, as root)" >&2
    exit 2
fi
case "$root" in
    /?*) ;;
    *) echo "$0: ZUVO_DEBIAN13_ROOT must be an absolute folder other than /" >&2; exit 2 ;;
esac
root="${root%/}"
if [ "$(id -u)" -ne 0 ]; then
    echo "$0: needs root (debootstrap, chroot and mounts)" >&2
    exit 1
fi

# Every "URI SUITE" pair of apt's active sources, one-line and deb822 alike.
apt_sources() {
    local file
    for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
        [ -f "$file" ] || continue
        # deb [options] URI SUITE COMPONENT...
        sed -E -e 's/#.*//' -e 's/\[[^]]*\]//' "$file" | awk '$1 == "deb" && NF >= 3 { print $2, $3 }'
    done
    for file in /etc/apt/sources.list.d/*.sources; do
        [ -f "$file" ] || continue
        awk '
            function flush(   i, j, nu, ns, u, s) {
                if (types ~ /(^| )deb( |$)/ && enabled !~ /^[Nn][Oo]$/) {
                    nu = split(uris, u, " "); ns = split(suites, s, " ")
                    for (i = 1; i <= nu; i++) for (j = 1; j <= ns; j++) print u[i], s[j]
                }
                types = uris = suites = enabled = ""
            }
            /^[ \t]*#/ { next }
            /^[ \t]*$/ { flush(); next }
            /^[ \t]/ { next }    # a continued field: none of the ones read here
            {
                name = tolower($1); sub(/:$/, "", name)
                value = $0; sub(/^[^:]*:[ \t]*/, "", value); gsub(/[ \t]+/, " ", value)
                if (name == "types") types = value
                else if (name == "uris") uris = value
                else if (name == "suites") suites = value
                else if (name == "enabled") enabled = value
            }
            END { flush() }
        ' "$file"
    done
}

# The archive for trixie is the one this machine's apt fetches its own release
# from; security updates and stable updates come along where apt here has them.
host_suite="$(. /etc/os-release && echo "${VERSION_CODENAME:-}")"
sources="$(apt_sources)"
mirror="$(awk -v s="$host_suite" '$2 == s { print $1; exit }' <<<"$sources")"
security="$(awk -v s="$host_suite-security" '$2 == s { print $1; exit }' <<<"$sources")"
updates="$(awk -v s="$host_suite-updates" '$2 == s { print $1; exit }' <<<"$sources")"
if [ -z "$host_suite" ] || [ -z "$mirror" ]; then
    echo "$0: no Debian archive for this machine's release (${host_suite:-unknown}) in apt's sources" >&2
    exit 1
fi
mirror="${mirror%/}"

# One run at a time in the system: a second waits.
mkdir -p "$(dirname "$root")"
exec 9>"$root.lock"
flock 9

mounted=()
cleanup() {
    local rc=$? pid i inside
    trap - EXIT INT TERM HUP
    # What the command left running inside (an X server, a compositor) would
    # keep the mounts busy: those processes are this run's own. They are
    # known by their root folder, which is the system's.
    inside="$(stat -L -c %d:%i "$root")"
    for pid in $(ls /proc | grep -E '^[0-9]+$'); do
        [ "$(stat -L -c %d:%i "/proc/$pid/root" 2>/dev/null)" = "$inside" ] && kill -KILL "$pid" 2>/dev/null || true
    done
    for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
        umount "${mounted[i]}" 2>/dev/null || umount --lazy "${mounted[i]}" ||
            echo "$0: could not unmount ${mounted[i]}" >&2
    done
    exit "$rc"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

mount_in() {
    # mount_in TARGET MOUNT-ARGUMENT...
    local target="$root$1"
    shift
    mkdir -p "$target"
    mount "$@" "$target"
    mounted+=("$target")
}

if [ "${ZUVO_DEBIAN13_FRESH:-0}" = 1 ] || [ ! -e "$root/.zuvo-ready" ]; then
    if ! dpkg-query -W -f='${Status}' debootstrap 2>/dev/null | grep -q "install ok installed"; then
        apt-get update
        DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends debootstrap
    fi
    if grep -qF " $root/" /proc/mounts; then
        echo "$0: something is still mounted under $root; not removing it" >&2
        exit 1
    fi
    rm -rf "$root"
    started=$SECONDS
    debootstrap --variant=minbase "$suite" "$root" "$mirror"

    {
        printf 'Types: deb\nURIs: %s\nSuites: %s%s\nComponents: main\n' \
            "$mirror" "$suite" "${updates:+ $suite-updates}"
        printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
        if [ -n "$security" ]; then
            printf '\nTypes: deb\nURIs: %s\nSuites: %s-security\nComponents: main\n' "${security%/}" "$suite"
            printf 'Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg\n'
        fi
    } >"$root/etc/apt/sources.list.d/debian.sources"
    rm -f "$root/etc/apt/sources.list"
    # The tests serve pages on localhost.
    grep -qw localhost "$root/etc/hosts" 2>/dev/null ||
        printf '127.0.0.1\tlocalhost\n::1\t\tlocalhost ip6-localhost ip6-loopback\n' >>"$root/etc/hosts"
    # Services that packages would start inside are not started: this is no
    # booted system, and they would outlive the run.
    printf '#!/bin/sh\nexit 101\n' >"$root/usr/sbin/policy-rc.d"
    chmod 755 "$root/usr/sbin/policy-rc.d"
    # Documentation is kept (changelogs are read by the package check).
    touch "$root/.zuvo-ready"
    echo "debian13: system made in $((SECONDS - started)) s in $root"
fi

mount_in /proc -t proc proc
mount_in /sys -t sysfs sysfs
mount_in /dev --bind /dev
# Nothing mounted below the chroot's /dev may reach this machine's /dev.
mount --make-rslave "$root/dev"
mount_in /dev/pts --bind /dev/pts
mount_in /dev/shm -t tmpfs -o mode=1777,nosuid,nodev shm
# This machine's /tmp: X servers listen on abstract sockets too, which a
# chroot shares with the machine, so a display whose lock file the chroot
# could not see would be taken already, or be another run's.
mount_in /tmp --bind /tmp
cp /etc/resolv.conf "$root/etc/resolv.conf" 2>/dev/null || true

# The source tree, without its build folders and git's own files; the
# copy's build folders stay from the last run, for incremental builds. The
# copy's times are those of its own changes: a file whose content changed
# takes the time of copying, as its time here can be older than what the last
# build made from another tree (CI's clone); the others keep theirs.
mkdir -p "$root/zuvo"
incoming="$root/zuvo.incoming"
rm -rf "$incoming"
mkdir "$incoming"
(cd "$here" && find . -mindepth 1 -maxdepth 1 ! -name 'build*' ! -name .git -printf '%P\0' |
    tar --null -T - -cf -) | tar -C "$incoming" -xf -
(cd "$incoming" && find . -type f -print0) | while IFS= read -r -d '' file; do
    if cmp -s "$incoming/$file" "$root/zuvo/$file"; then
        touch -r "$root/zuvo/$file" "$incoming/$file"
    else
        touch "$incoming/$file"
    fi
done
find "$root/zuvo" -mindepth 1 -maxdepth 1 ! -name 'build*' -exec rm -rf {} +
find "$incoming" -mindepth 1 -maxdepth 1 -exec mv -t "$root/zuvo" {} +
rmdir "$incoming"

passed=()
while IFS= read -r name; do
    passed+=("$name=${!name}")
done < <(compgen -e | grep -E '^(ZUVO_|CI$)' | grep -v '^ZUVO_DEBIAN13_' || true)

# A caller without standard input (CI) passes an empty one.
[ -e "/proc/$$/fd/0" ] || exec </dev/null
# The system becomes the root of a mount namespace of the command's own
# rather than a chroot(2) root: the kernel refuses a chrooted process user
# namespaces, so WebKit's bubblewrap sandbox (the Wayland runs' browser is not
# root) could not start inside, where it does on a booted Debian 13. The
# namespace's mounts are copies of the ones above and end with it.
# Waited for rather than run in the foreground, so that a signal to this
# script ends the run at once; the command keeps this script's standard input
# and gets Ctrl+C as it would in the foreground.
env -i --default-signal=INT,QUIT \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 \
    TERM="${TERM:-dumb}" "${passed[@]}" \
    unshare --mount --propagation private -- /bin/sh -c '
        root="$1"; shift
        mount --rbind "$root" "$root" && cd "$root" && pivot_root . mnt && umount --lazy /mnt &&
            cd /zuvo && exec "$@"' debian13 "$root" "$@" <&0 &
wait "$!"
