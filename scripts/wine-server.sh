#!/bin/sh
# Starts or stops the wineserver that all Windows tests of a run share. Its standard streams go to
# /dev/null: helper processes that inherit the test runner's pipes would keep it waiting forever.
set -e
case "$1" in
start)
    mkdir -p "$WINEPREFIX"
    wineserver -p </dev/null >/dev/null 2>&1
    wine wineboot </dev/null >/dev/null 2>&1
    ;;
stop)
    wineserver -k </dev/null >/dev/null 2>&1 || true
    ;;
esac
