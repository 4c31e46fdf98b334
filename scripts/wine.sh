#!/bin/sh
# Runs Windows programs under 32-bit Wine in a prefix of the build's own.
#   wine.sh PREFIX start          create the prefix if needed and start a persistent wineserver
#   wine.sh PREFIX stop           stop it
#   wine.sh PREFIX run PROGRAM... run a program
# Standard streams of the server go to /dev/null: helper processes that inherit a test runner's
# pipes would keep it waiting forever.
set -e
prefix=$1
action=$2
shift 2

export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG=-all
# No runtime installers, and none of the device services that are of no use to console programs.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedevice.exe,plugplay.exe=d"
# Under qemu's user-mode emulator (see enable-32bit.sh) Wine needs the emulated address space kept
# below 2 GiB, or its start-up reservations scatter; a native run ignores this.
export QEMU_RESERVED_VA=0x7fff0000

case "$action" in
start)
    mkdir -p "$prefix"
    if [ ! -f "$prefix/system.reg" ]; then
        wine wineboot -i </dev/null >/dev/null 2>&1
        wineserver -w </dev/null >/dev/null 2>&1
    fi
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot </dev/null >/dev/null 2>&1
    ;;
stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
run)
    exec wine "$@"
    ;;
esac
