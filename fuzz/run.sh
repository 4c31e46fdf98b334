#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a set time, starting from its seed corpus in
# fuzz/corpus/<target>/ and from what earlier runs found, and prints executions, coverage and
# corpus size per target. The repository's corpus is only read: new inputs go to
# BUILD/fuzz-corpus/<target>/, crashes to BUILD/fuzz-crashes/.
# Usage: fuzz/run.sh BUILD_DIR SECONDS_PER_TARGET
set -uo pipefail

build=$(cd "$1" && pwd)
seconds=$2
seeds_root=$(cd "$(dirname "$0")" && pwd)/corpus

options=(-max_total_time="$seconds" -timeout=30 -print_final_stats=1)
# Under qemu's user-mode emulator (scripts/enable-32bit.sh) two things differ from a native run:
# - the leak checker cannot stop the emulated threads, and a run with it on hangs at exit after
#   its last input;
# - a 32-bit program cannot list a directory (readdir fails with EOVERFLOW on the 64-bit offsets
#   the kernel gives an emulated process), so libFuzzer would see every corpus folder as empty.
#   The corpus is therefore always handed over as a list of files (-seed_inputs), and each run
#   writes to a folder of its own that is moved into the kept corpus afterwards.
if [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
    export ASAN_OPTIONS=detect_leaks=0
    options+=(-detect_leaks=0)
fi

passed=0
failed=0
printf '%-18s %12s %8s %8s %16s  %s\n' target executions cov ft corpus result
while read -r target; do
    [ -n "$target" ] || continue
    program="$build/bin/fuzz-$target"
    seeds="$seeds_root/$target"
    kept="$build/fuzz-corpus/$target"
    fresh="$build/fuzz-runs/$target"
    log="$build/fuzz-runs/$target.log"
    rm -rf "$fresh" && mkdir -p "$fresh" "$kept" "$build/fuzz-crashes"

    if [ ! -d "$seeds" ]; then
        result="no seed corpus fuzz/corpus/$target"
        status=1
    else
        list="$build/fuzz-runs/$target.inputs"
        # Comma-separated, without a line end: libFuzzer would take it for part of the last name.
        find "$seeds" "$kept" -type f | paste -sd, - | tr -d '\n' >"$list"
        dictionary=()
        [ -f "$seeds_root/../$target.dict" ] && dictionary=(-dict="$seeds_root/../$target.dict")
        "$program" "$fresh" -seed_inputs=@"$list" -artifact_prefix="$build/fuzz-crashes/$target-" \
            "${options[@]}" "${dictionary[@]}" </dev/null >"$log" 2>&1
        status=$?
        result=ok
        [ $status -eq 0 ] || result="FAILED (exit $status): $log, $build/fuzz-crashes/"
    fi
    find "$fresh" -type f -exec mv -f {} "$kept/" \;

    done_line=$(grep -E '^#[0-9]+[[:space:]]+DONE' "$log" 2>/dev/null | tail -n 1)
    executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" 2>/dev/null | tail -n 1)
    cov=$(sed -n 's/.* cov: \([0-9]*\).*/\1/p' <<<"$done_line")
    ft=$(sed -n 's/.* ft: \([0-9]*\).*/\1/p' <<<"$done_line")
    corpus=$(sed -n 's/.* corp: \([^ ]*\).*/\1/p' <<<"$done_line")
    printf '%-18s %12s %8s %8s %16s  %s\n' "$target" "${executions:--}" "${cov:--}" "${ft:--}" "${corpus:--}" "$result"
    if [ $status -eq 0 ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        # The target's own message or the sanitizer's report, and what libFuzzer kept of the input.
        grep -v -E '^#[0-9]+|^INFO:' "$log" 2>/dev/null | head -n 40
    fi
done <"$build/fuzz-targets.txt"

echo "fuzz: $passed passed, $failed failed"
[ $failed -eq 0 ]
