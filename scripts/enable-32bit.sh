#!/usr/bin/env bash
# Everything here is 32-bit x86. Some kernels (for example in paravirtualised sandboxes) cannot run
# 32-bit programs natively; there the programs run through qemu's user-mode emulator, registered
# with binfmt_misc so that both our test programs and Wine's 32-bit loader start transparently.
set -euo pipefail

probe_dir=$(mktemp -d)
trap 'rm -rf "$probe_dir"' EXIT
echo 'int main(void) { return 0; }' > "$probe_dir/probe.c"
gcc -m32 "$probe_dir/probe.c" -o "$probe_dir/probe"
if "$probe_dir/probe" 2>/dev/null; then
    exit 0
fi

echo "This kernel cannot run 32-bit programs natively: running them through qemu-i386."
if ! command -v qemu-i386 >/dev/null; then
    DEBIAN_FRONTEND=noninteractive apt-get install -y -q qemu-user
fi
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
    mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
fi
if [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:' \
        > /proc/sys/fs/binfmt_misc/register
fi
"$probe_dir/probe"
