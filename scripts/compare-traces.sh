#!/bin/sh
# Runs every scene with the Linux and the Windows build of vorlix-sim and fails unless both write
# the same trace, byte for byte, and end with the same exit status.
#   compare-traces.sh LINUX_SIM WINDOWS_SIM WINE_PREFIX SCENE...
set -u
linux_sim=$1 windows_sim=$2 prefix=$3
shift 3
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -x "$linux_sim" ]; then
    echo "the Linux build of vorlix-sim is missing: $linux_sim (build the linux-x86 preset first)" >&2
    exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for scene in "$@"; do
    name=$(basename "$scene" .json)
    mkdir -p "$work/linux-$name" "$work/windows-$name"
    (cd "$work/linux-$name" && "$linux_sim" run "$scene" --trace trace.jsonl >/dev/null 2>&1)
    linux_status=$?
    (cd "$work/windows-$name" && sh "$here/wine.sh" "$prefix" run "$windows_sim" run "$scene" --trace trace.jsonl >/dev/null 2>&1)
    windows_status=$?
    if [ "$linux_status" != "$windows_status" ]; then
        echo "$scene: exit status $linux_status on Linux, $windows_status on Windows"
        failed=1
    elif [ -f "$work/linux-$name/trace.jsonl" ] || [ -f "$work/windows-$name/trace.jsonl" ]; then
        if cmp -s "$work/linux-$name/trace.jsonl" "$work/windows-$name/trace.jsonl"; then
            echo "$scene: identical traces ($(wc -l < "$work/linux-$name/trace.jsonl") lines)"
        else
            echo "$scene: the traces differ"
            cmp "$work/linux-$name/trace.jsonl" "$work/windows-$name/trace.jsonl"
            failed=1
        fi
    else
        echo "$scene: refused on both (exit $linux_status)"
    fi
done
exit $failed
