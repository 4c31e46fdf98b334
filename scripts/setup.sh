#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, only what is missing, so that
# a second run costs one dpkg query.
#   setup.sh              everything
#   setup.sh PACKAGE...   just these packages (make format-check needs clang-format alone)
set -euo pipefail

if [ $# -gt 0 ]; then
    packages=("$@")
else
    # GoogleTest: Debian's 32-bit build for the Linux presets, its sources for the MinGW one.
    packages=(cmake make g++ g++-multilib g++-mingw-w64-i686 libgtest-dev:i386 libgmock-dev:i386
              googletest lib32asan8 lib32ubsan1 libcli11-dev libboost-dev
              wine wine32:i386 python3 clang-14 libclang-rt-14-dev clang-format chromium qemu-user
              blender python3-numpy python3-pefile)
    # The preview page is bundled with Node.js; a machine that already has a node of its own keeps it.
    command -v node >/dev/null || packages+=(nodejs npm)
fi

# One query for the whole list: dpkg-query names each installed package, qualified with its
# architecture where it has one, and says nothing of the others.
native=$(dpkg --print-architecture)
installed=$'\n'$(dpkg-query -W -f='${binary:Package} ${Status}\n' "${packages[@]}" 2>/dev/null |
                 sed -n "s/:$native / /; s/ install ok installed\$//p" || true)$'\n'
missing=()
for p in "${packages[@]}"; do
    [[ $installed == *$'\n'"${p%:"$native"}"$'\n'* ]] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
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
