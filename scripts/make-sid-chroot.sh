#!/usr/bin/env bash
# Makes, once, the Debian sid root that the add-on's tests run the newest Blender in, and keeps it
# for every later run: the test set-up calls this each time and it costs a look at a stamp then.
#   make-sid-chroot.sh [DIR]    DIR defaults to /var/cache/vorlix/sid-blender, outside any checkout
#
# Binds are only ever made in mount namespaces of their own (in-sid-chroot.sh), which vanish with
# their command: nothing stays mounted under DIR, and a half-made DIR can be removed safely.
set -euo pipefail
# debootstrap, chroot and unshare live in the system folders, which a plain PATH may leave out.
PATH=$PATH:/usr/sbin:/sbin

dir=${1:-/var/cache/vorlix/sid-blender}
packages=(blender python3-numpy libstdc++6:i386)
binfmt_entry=/proc/sys/fs/binfmt_misc/qemu-i386

fail() {
    echo "make-sid-chroot: $*" >&2
    exit 1
}

# Where 32-bit programs run through qemu and the kernel opens the emulator only when a program
# starts (no F flag), it looks for it inside the chroot: then the chroot needs its own.
emulator_needed() {
    [ -r "$binfmt_entry" ] && grep -qx enabled "$binfmt_entry" &&
        ! grep -q '^flags:.*F' "$binfmt_entry"
}
if emulator_needed; then
    packages+=(qemu-user)
fi

[ "$(id -u)" -eq 0 ] ||
    fail "making and entering $dir takes root (debootstrap, chroot and bind mounts); run as root"
mkdir -p "$(dirname "$dir")"
exec 9>"$dir.lock"
flock 9 # one maker at a time; a second waits and then finds the stamp

stamp=$dir/.vorlix-packages
if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "${packages[*]}" ]; then
    exit 0
fi

# The mirror the machine already uses: its first Debian archive source that is not the security one.
mirror=$({ grep -hs -e '^URIs:' -e '^deb ' /etc/apt/sources.list /etc/apt/sources.list.d/*.sources \
               /etc/apt/sources.list.d/*.list || true; } |
         awk '{ for (i = 2; i <= NF; i++) if ($i ~ /^https?:\/\/.*\/debian\/?$/) { print $i; exit } }')
[ -n "$mirror" ] || fail "no Debian mirror in /etc/apt/sources.list*: cannot fetch sid"

command -v debootstrap >/dev/null || "$(dirname "$0")/setup.sh" debootstrap

started=$(date +%s)
if [ ! -x "$dir/usr/bin/apt-get" ]; then
    # A root that debootstrap left unfinished cannot be resumed: it starts again.
    for unfinished in "$dir" "$dir.partial"; do
        if grep -q " $unfinished/" /proc/self/mounts; then
            fail "something is mounted under $unfinished: unmount it first"
        fi
        rm -rf "$unfinished"
    done
    echo "Making the sid root for the newest Blender in $dir (about 2 minutes, 1.4 GB)"
    debootstrap --variant=minbase sid "$dir.partial" "$mirror" ||
        fail "debootstrap of sid from $mirror failed (see above)"
    mv "$dir.partial" "$dir"
fi

# The mirror's sid Release can be past its Valid-Until date; only this suite is let off the check.
# A mirror that is mid-sync fails the update for a while: it is tried again after a pause.
echo "deb [check-valid-until=no] $mirror sid main" >"$dir/etc/apt/sources.list"
"$(dirname "$0")/in-sid-chroot.sh" "$dir" -- /bin/sh -euc "
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    for pause in 20 60 0; do
        apt-get update -q && break
        [ \$pause -gt 0 ] || exit 1
        echo \"apt-get update failed; trying again in \$pause s\" >&2
        sleep \$pause
    done
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \$*
    apt-get clean" sh "${packages[@]}" || fail "installing ${packages[*]} in $dir failed (see above)"

if emulator_needed; then
    interpreter=$(sed -n 's/^interpreter //p' "$binfmt_entry")
    [ -x "$dir$interpreter" ] ||
        fail "32-bit programs run through $interpreter here, and the sid root has none at that path"
fi
echo "${packages[*]}" >"$stamp"
echo "The sid root in $dir is ready ($(($(date +%s) - started)) s)"
