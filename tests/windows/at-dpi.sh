#!/usr/bin/env bash
# Runs a Windows test program under Wine at another screen DPI: the Wine prefix's LogPixels is set
# for the run and put back afterwards, so the tests after it see the usual 96 DPI again. Wine reads
# the value when a program starts. The program is told the DPI in TIPPWERK_EXPECTED_DPI to check it.
# Usage: at-dpi.sh WINE DPI PROGRAM [ARGS...]
set -euo pipefail

wine=$1
dpi=$2
shift 2
key='HKCU\Control Panel\Desktop'

# The value as reg prints it (REG_DWORD 0x60), or nothing where the prefix has none.
previous=$("$wine" reg query "$key" /v LogPixels 2>/dev/null </dev/null | awk '$1 == "LogPixels" { print $3 }' || true)
restore() {
    if [ -n "$previous" ]; then
        "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$((previous))" /f </dev/null >/dev/null
    else
        "$wine" reg delete "$key" /v LogPixels /f </dev/null >/dev/null 2>&1 || true
    fi
}
trap restore EXIT
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null

TIPPWERK_EXPECTED_DPI=$dpi "$wine" "$@"
