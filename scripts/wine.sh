#!/bin/sh
# Runs Windows programs under 32-bit Wine in a prefix of the build's own.
#   wine.sh PREFIX start          create the prefix if needed and start a persistent wineserver
#   wine.sh PREFIX stop           stop it, and every process still running in the prefix
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
#
# Booting a new prefix has been seen, rarely, to hang with nothing to show where. So every step of
# start has a time limit; a step that overruns it is reported with the processes of the prefix
# alive at that moment, everything of the prefix is killed, and the boot begins again from nothing.
set -e
usage() {
    echo "usage: wine.sh PREFIX start|stop|run PROGRAM..." >&2
    exit 2
}
if [ $# -lt 2 ] || [ -z "$1" ]; then
    usage
fi
prefix=$1
action=$2
shift 2

# Wine's own messages stay off, unless a test that reads one of its trace channels names it.
export WINEPREFIX="$prefix" WINEARCH=win32 WINEDEBUG="${VORLIX_WINEDEBUG:--all}"
# No runtime installers, none of the device services that are of no use to console programs, and
# no menu entries written into the user's home.
export WINEDLLOVERRIDES="mscoree,mshtml=;winedevice.exe,plugplay.exe,winemenubuilder.exe=d"
# Under qemu's user-mode emulator (see enable-32bit.sh) Wine needs the emulated address space kept
# below 2 GiB, or its start-up reservations scatter; a native run ignores this.
export QEMU_RESERVED_VA=0x7fff0000

# The Wine processes of the prefix, the server among them, even one that no longer answers: Wine
# hands the prefix's name down to each of them in its environment. A shell that merely has the
# name in its own environment is not one of them.
prefix_pids() {
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        case $(readlink "/proc/$pid/exe" 2>/dev/null) in
        */wine*) ;;
        *) continue ;;
        esac
        if { tr '\0' '\n' <"$environ" | grep -qxF "WINEPREFIX=$prefix"; } 2>/dev/null; then
            echo "$pid"
        fi
    done
}

kill_prefix() {
    timeout -k 5 30 wineserver -k </dev/null >/dev/null 2>&1 || true
    for pid in $(prefix_pids); do
        kill -9 "$pid" 2>/dev/null || true
    done
}

# Lists the processes of the prefix, for a report of a step that hung.
list_prefix() {
    pids=$(prefix_pids)
    [ -n "$pids" ] || echo "    (none)"
    for pid in $pids; do
        echo "    $pid $(readlink "/proc/$pid/exe" 2>/dev/null): $({ tr -s '\0' ' ' <"/proc/$pid/cmdline"; } 2>/dev/null)"
    done
}

# step SECONDS COMMAND...: runs one step of the boot, its output kept in a file of the attempt's.
step() {
    limit=$1
    shift
    status=0
    # Only the step itself is ended at its limit, so that the report still sees what it started.
    timeout --foreground -k 5 "$limit" "$@" </dev/null >"$log" 2>&1 || status=$?
    case $status in
    0) return 0 ;;
    124 | 137) outcome="did not end within $limit s" ;;
    *) outcome="failed with status $status" ;;
    esac
    echo "wine.sh: '$*' $outcome; the prefix's processes then:"
    list_prefix
    sed 's/^/    | /' "$log" | tail -n 20
    return 1
}

boot() {
    # A server left from an interrupted run may not be persistent: it would end between two tests,
    # and the next one would boot the prefix again.
    kill_prefix
    if [ ! -f "$prefix/system.reg" ]; then
        rm -rf "$prefix"
        mkdir -p "$prefix"
        step 180 wine wineboot -i || return 1
        step 60 wineserver -w || return 1
    fi
    step 30 wineserver -p && step 120 wine wineboot
}

case "$action" in
start)
    log=$(mktemp)
    trap 'rm -f "$log"' EXIT
    for attempt in 1 2 3; do
        if boot; then
            exit 0
        fi
        echo "wine.sh: attempt $attempt of 3 to start Wine in $prefix failed"
        # A half-made prefix would pass for a made one next time.
        kill_prefix
        rm -rf "$prefix"
    done
    exit 1
    ;;
stop)
    kill_prefix
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
*)
    usage
    ;;
esac
