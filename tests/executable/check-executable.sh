#!/usr/bin/env bash
# Checks a built program file: PE machine type, GUI subsystem, system-only imports, dialog templates.
# Usage: check-executable.sh OBJDUMP EXE MAGIC   (MAGIC: PE32 or PE32+)
set -euo pipefail
objdump=$1 exe=$2 magic=$3

fail() { echo "FAIL: $exe: $*" >&2; exit 1; }

headers=$("$objdump" -p "$exe")
grep -E '^Magic' <<<"$headers" | grep -qF "($magic)" || fail "not $magic"
grep -qE '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' <<<"$headers" || fail "not a GUI program"

imports=$(grep -oE 'DLL Name: .*' <<<"$headers" | cut -d' ' -f3 | tr '[:lower:]' '[:upper:]' | sort -u | tr '\n' ' ')
[ "$imports" = "KERNEL32.DLL MSVCRT.DLL USER32.DLL WINMM.DLL " ] || fail "imports $imports"

# Resource names are UTF-16 in the resource section; without the zero bytes they read as ASCII.
objcopy=${objdump%objdump}objcopy
resources=$("$objcopy" -O binary --only-section=.rsrc "$exe" /dev/stdout | tr -d '\0')
for template in LOTTODIALOG VERLUSTDIALOG; do
    grep -q "$template" <<<"$resources" || fail "no $template dialog template"
done
echo "ok: $exe is $magic, GUI, imports $imports, has both dialog templates"
