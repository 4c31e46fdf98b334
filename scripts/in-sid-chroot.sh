#!/usr/bin/env bash
# Runs a command in the sid root that make-sid-chroot.sh makes, with /proc and /dev, and the given
# folders at their own paths: read-only, but for those given with --rw.
#   in-sid-chroot.sh ROOT [--ro FOLDER | --rw FOLDER]... -- COMMAND [ARGUMENT]...
#
# The binds are made in a mount namespace of the command's own: they vanish with it however it
# ends, even killed, so no trap is needed and nothing is ever left mounted under ROOT. The folders
# it made for mount points are removed again.
set -euo pipefail
# debootstrap, chroot and unshare live in the system folders, which a plain PATH may leave out.
PATH=$PATH:/usr/sbin:/sbin

fail() {
    echo "in-sid-chroot: $*" >&2
    exit 1
}

root=${1:?usage: in-sid-chroot.sh ROOT [--ro FOLDER | --rw FOLDER]... -- COMMAND...}
shift
[ -x "$root/bin/sh" ] || fail "no sid root in $root: scripts/make-sid-chroot.sh makes it"
[ "$(id -u)" -eq 0 ] || fail "entering $root takes root (chroot and bind mounts); run as root"

binds=()
made=()
while [ $# -gt 0 ] && [ "$1" != -- ]; do
    case $1 in
        --ro | --rw) binds+=("$1" "$(realpath "${2:?$1 needs a folder}")") ;;
        *) fail "unknown option $1" ;;
    esac
    # The outermost folder of the mount point that is not there yet, if any.
    missing=
    folder=${binds[-1]}
    while [ ! -d "$root$folder" ]; do
        missing=$root$folder
        folder=$(dirname "$folder")
    done
    [ -z "$missing" ] || made+=("$missing")
    shift 2
done
[ "${1:-}" = -- ] && [ $# -gt 1 ] || fail "no command given after --"
shift

status=0
unshare --mount --propagation private /bin/sh -euc '
    root=$1
    shift
    mount --rbind /dev "$root/dev"
    mount -t proc proc "$root/proc"
    while [ "$1" != -- ]; do
        mkdir -p "$root$2"
        mount --bind "$2" "$root$2"
        [ "$1" = --rw ] || mount -o remount,bind,ro "$root$2"
        shift 2
    done
    shift
    exec chroot "$root" "$@"
' sh "$root" "${binds[@]}" -- "$@" || status=$?
for folder in "${made[@]}"; do
    [ ! -d "$folder" ] || find "$folder" -xdev -depth -type d -empty -delete
done
exit $status
