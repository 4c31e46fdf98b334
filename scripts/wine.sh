#!/bin/sh
# Runs Windows programs under 32-bit Wine in a prefix of the build's own.
#   wine.sh PREFIX start          create the prefix if needed and start a persistent wineserver
#   wine.sh PREFIX stop           stop it, and every Windows process still running in the prefix
#   wine.sh PREFIX run PROGRAM... run a program
#
# Why a test can never wait on Wine's helpers: any wine process may start helper processes
# (services.exe, svchost.exe, winedevice.exe, ...) that live on under the persistent server, and
# every process inherits the standard streams of the one that started it. A test runner waits
# until nobody holds its pipes any more, so a helper holding one keeps the test running for ever.
# - start boots the prefix itself, with every stream on /dev/null, so that the run's helpers are up
#   before the first test and hold nothing of the runner's; they stay up until stop.
# - run never hands the test runner's streams to wine: the program writes into files of its own,
#   which are copied out once the program has ended. Whatever the program or Wine starts and leaves
#   behind holds only those files, never the runner's pipes.
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
    # A server left from an interrupted run may not be persistent: it would end between two tests,
    # and the next one would boot the prefix again.
    wineserver -k </dev/null >/dev/null 2>&1 || true
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
    streams=$(mktemp -d)
    trap 'rm -rf "$streams"' EXIT
    status=0
    wine "$@" </dev/null >"$streams/out" 2>"$streams/err" || status=$?
    cat "$streams/out"
    cat "$streams/err" >&2
    exit $status
    ;;
esac
