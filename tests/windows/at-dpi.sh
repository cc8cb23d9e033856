#!/usr/bin/env bash
# Runs a Windows test program under Wine at another screen DPI, which Wine reads from the prefix's
# LogPixels when a program starts. The value is removed afterwards, so the tests after it see the
# usual 96 DPI again (the project's prefix never sets it). The program is told the DPI to check it.
# Usage: at-dpi.sh WINE DPI PROGRAM [ARGS...]
set -euo pipefail
wine=$1 dpi=$2
shift 2
key='HKCU\Control Panel\Desktop'

trap '"$wine" reg delete "$key" /v LogPixels /f </dev/null >/dev/null 2>&1 || true' EXIT
"$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$dpi" /f </dev/null >/dev/null
TIPPWERK_EXPECTED_DPI=$dpi "$wine" "$@"
