#!/usr/bin/env bash
# Installs what the build and the tests need on a Debian 12 machine, only what is missing,
# so that a second run costs a few dpkg queries.
set -euo pipefail

packages=(cmake make g++ g++-multilib g++-mingw-w64-i686 googletest lib32asan8 lib32ubsan1
          nlohmann-json3-dev libcli11-dev libtinygltf-dev:i386 wine wine32:i386 python3
          clang-14 libclang-rt-14-dev clang-format chromium qemu-user)
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
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q "${missing[@]}"
