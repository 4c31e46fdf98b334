#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, only what is missing,
# so that a second run costs a few dpkg queries.
set -euo pipefail

packages=(cmake make g++ g++-multilib g++-mingw-w64-i686 googletest lib32asan8 lib32ubsan1
          nlohmann-json3-dev libcli11-dev libboost-dev wine wine32:i386 python3
          clang-14 libclang-rt-14-dev clang-format chromium qemu-user blender python3-numpy)
# The preview page is bundled with Node.js; a machine that already has a node of its own keeps it.
command -v node >/dev/null || packages+=(nodejs npm)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi

# A mirror that is mid-sync serves one index with the wrong size and apt-get update fails as a whole,
# though it read every other list: try again after a pause, then go on with what was read.
update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
updated=no
for pause in 10 20 40 60 0; do
    if $SUDO apt-get update -q 2>&1 | tee "$update_log"; [ "${PIPESTATUS[0]}" -eq 0 ]; then
        updated=yes
        break
    fi
    [ "$pause" -eq 0 ] && break
    echo "apt-get update failed; trying again in $pause s" >&2
    sleep "$pause"
done
if [ "$updated" = no ]; then
    echo "apt-get update failed five times. The package indexes that failed:" >&2
    grep -E '^(E: Failed to fetch|Err:)' "$update_log" >&2 || true
    echo "A mirror that is mid-sync usually recovers within the hour: a later retry usually works." >&2
    echo "Going on with the package lists that were read." >&2
fi
if ! DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"; then
    [ "$updated" = yes ] || echo "apt-get install failed after a failed update: run make again later." >&2
    exit 1
fi
