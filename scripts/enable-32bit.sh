#!/usr/bin/env bash
# Everything here is 32-bit x86. Some kernels (for example in paravirtualised sandboxes) cannot run
# 32-bit programs natively; there the programs run through qemu's user-mode emulator, registered
# with binfmt_misc so that both our test programs and Wine's 32-bit loader start transparently.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)

probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
echo 'int main(void) { return 0; }' > "$probe_dir/probe.c"
gcc -m32 "$probe_dir/probe.c" -o "$probe_dir/probe"
if "$probe_dir/probe" 2>/dev/null; then
    exit 0
fi

echo "This kernel cannot run 32-bit programs natively: running them through qemu-i386."
command -v qemu-i386 >/dev/null || "$here/setup.sh" qemu-user
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
binfmt=/proc/sys/fs/binfmt_misc
# A container without an init system has nobody to mount binfmt_misc.
if [ ! -e $binfmt/register ]; then
    $SUDO mount -t binfmt_misc binfmt_misc $binfmt
fi
# Debian's qemu-user-binfmt registers every other architecture but leaves out i386 on amd64, the
# kernel's own family, so the entry is written here: 32-bit little-endian ELF executables and shared
# objects (type 2 or 3) for the 386.
if [ ! -e $binfmt/qemu-i386 ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:' |
        $SUDO tee $binfmt/register >/dev/null
elif ! grep -qx enabled $binfmt/qemu-i386; then
    echo 1 | $SUDO tee $binfmt/qemu-i386 >/dev/null
fi
if ! "$probe_dir/probe"; then
    echo "32-bit programs still do not start, though qemu-i386 is registered ($binfmt/qemu-i386):" >&2
    cat $binfmt/qemu-i386 >&2
    exit 1
fi
