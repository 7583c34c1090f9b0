#!/usr/bin/env bash
# Runs the test command inside a Debian root of another release, made once
# with debootstrap under build/debian-N, so one machine tries the suite on
# the Wine of each release.
#
#   tools/lib/debian_root.sh N [test command arguments]
#
# The source tree is bind-mounted read-write at /tolvane; the root builds
# into its own /build, never the host's build/. The mounts live in a mount
# namespace of their own, so they go when the run ends, however it ends.
set -euo pipefail
source "$(dirname "$0")/common.sh"

release=${1:-}
shift || true
case "$release" in
    12) codename=bookworm ;;
    13) codename=trixie ;;
    *) die "--debian takes 12 or 13, not '$release'" ;;
esac
[ "$(id -u)" -eq 0 ] || die "--debian makes a Debian root and mounts into it: run it as root"
ensure_packages debootstrap

root="$TOLVANE_BUILD/debian-$release"
if [ ! -f "$root/.tolvane-ready" ]; then
    echo "Making the Debian $release ($codename) root in $root (once, some minutes)"
    rm -rf "$root"
    mkdir -p "$TOLVANE_BUILD"
    debootstrap --variant=minbase "$codename" "$root" http://deb.debian.org/debian >"$TOLVANE_BUILD/debian-$release.log" 2>&1 ||
        die "debootstrap failed; see $TOLVANE_BUILD/debian-$release.log"
    touch "$root/.tolvane-ready"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"  # apt inside the root resolves as the host does
mkdir -p "$root/tolvane" "$root/build"

# /tmp is the root's own, empty: the X server it starts shares nothing there
# with the host's displays.
exec unshare --mount --propagation private bash -c '
    root=$1; tree=$2; shift 2
    mount -t proc proc "$root/proc"
    mount --rbind /dev "$root/dev"
    mount -t tmpfs tmpfs "$root/tmp"
    mount --bind "$tree" "$root/tolvane"
    exec chroot "$root" /usr/bin/env -i PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
        HOME=/root LANG=C.UTF-8 TOLVANE_BUILD=/build bash -c "cd /tolvane && ./tools/test.sh \"\$@\"" test "$@"
' root "$root" "$TOLVANE_ROOT" "$@"
