#!/usr/bin/env bash
# Checks a built program file: PE machine type, GUI subsystem, no link time, the linker's protections,
# system-only imports, German dialog templates, the icon, the German version resource and the
# application manifest.
# Usage: check-executable.sh OBJDUMP EXE MAGIC   (MAGIC: PE32 or PE32+)
set -euo pipefail
objdump=$1 exe=$2 magic=$3

fail() { echo "FAIL: $exe: $*" >&2; exit 1; }

headers=$(TZ=UTC "$objdump" -p "$exe")
grep -E '^Magic' <<<"$headers" | grep -qF "($magic)" || fail "not $magic"
grep -qE '^Subsystem[[:space:]]+00000002[[:space:]]+\(Windows GUI\)' <<<"$headers" || fail "not a GUI program"
# A link time would make every build of the same sources differ.
grep -qE '^Time/Date[[:space:]]+Thu Jan  1 00:00:00 1970$' <<<"$headers" || fail "carries a link time"

# ASLR, DEP and terminal-server awareness, and for the 64-bit program ASLR over the whole address space.
protections=(DYNAMIC_BASE NX_COMPAT TERMINAL_SERVICE_AWARE)
[ "$magic" = PE32 ] || protections+=(HIGH_ENTROPY_VA)
characteristics=$(sed -n '/^DllCharacteristics/,/^SizeOfStackReserve/p' <<<"$headers")
for protection in "${protections[@]}"; do
    grep -qE "^[[:space:]]+$protection\$" <<<"$characteristics" || fail "not linked with $protection"
done

imports=$(grep -oE 'DLL Name: .*' <<<"$headers" | cut -d' ' -f3 | tr '[:lower:]' '[:upper:]' | sort -u | tr '\n' ' ')
# GDI32 measures a long number in the dialog's font before its field is widened for it.
[ "$imports" = "GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL WINMM.DLL " ] || fail "imports $imports"

# Resource names are UTF-16 in the resource section; without the zero bytes they read as ASCII.
objcopy=${objdump%objdump}objcopy
resources=$("$objcopy" -O binary --only-section=.rsrc "$exe" /dev/stdout | tr -d '\0')
for template in LOTTODIALOG VERLUSTDIALOG; do
    grep -q "$template" <<<"$resources" || fail "no $template dialog template"
done

# The resource tree flattened to "type/name/language address size", one line per resource.
resource_tree=$(sed -n '/The .rsrc Resource Directory section/,/Resources start/p' <<<"$headers" | awk '
    /Entry:/ {
        match($0, /^[0-9a-f]+ +/); depth = RLENGTH
        id = $0; sub(/.*Entry: (ID: |name: \[[^]]*\]: )/, "", id); sub(/, Value.*/, "", id)
        if (depth == 6) type = id; else if (depth == 8) name = id; else language = id
    }
    /Leaf:/ { address = $4; size = $6; sub(/,/, "", address); sub(/,/, "", size); print type "/" name "/" language, address, size }')
rsrc_start=$(grep -oE '^Entry 2 [0-9a-f]+' <<<"$headers" | cut -d' ' -f3)

# The bytes of one resource, named by type/name/language, e.g. 0x000010/0x000001/0x000407.
resource_bytes() {
    local leaf
    leaf=$(grep -m1 "^$1 " <<<"$resource_tree") || fail "no resource $1"
    set -- $leaf
    "$objcopy" -O binary --only-section=.rsrc "$exe" /dev/stdout |
        tail -c +$(($2 - 0x$rsrc_start + 1)) | head -c $(($3))
}

for template in LOTTODIALOG VERLUSTDIALOG; do
    grep -q "^0x000005/$template/0x000407 " <<<"$resource_tree" || fail "dialog $template is not German (0x0407)"
done

# Explorer, shortcuts and the taskbar show the first icon group: Tippwerk's, with all its sizes.
[ "$(grep -c '^0x00000e/' <<<"$resource_tree")" = 1 ] || fail "not exactly one icon group"
read -r -a group <<<"$(resource_bytes 0x00000e/0x000001/0x000407 | od -An -v -tu1 | tr "\n" " ")"
icon_sizes=()
for ((entry = 6; entry < ${#group[@]}; entry += 14)); do
    icon_sizes+=($((group[entry] == 0 ? 256 : group[entry])))   # a width of 0 stands for 256
done
read -r -a icon_sizes <<<"$(printf '%s\n' "${icon_sizes[@]}" | sort -n | tr '\n' ' ')"
[ "${icon_sizes[*]}" = "16 24 32 48 256" ] || fail "icon sizes ${icon_sizes[*]}, not 16 24 32 48 256"

# The version is the project's, in the fixed part (major, minor, patch, 0) and in the strings.
version=$(sed -nE 's/^project\(Tippwerk VERSION ([0-9]+)\.([0-9]+)\.([0-9]+).*/\1.\2.\3/p' \
    "$(dirname "$0")/../../CMakeLists.txt")
[ -n "$version" ] || fail "no project version found"
IFS=. read -r major minor patch <<<"$version"

# German (0x0407) version resource, id 1 (VS_VERSION_INFO).
version_info=$(resource_bytes 0x000010/0x000001/0x000407 | od -An -v -tx1 | tr -s ' \n' ' ')
# VS_FIXEDFILEINFO begins at byte 40, after the header and the key "VS_VERSION_INFO".
read -r -a fixed <<<"$(cut -d' ' -f42-65 <<<"$version_info")"
[ "${fixed[*]:0:4}" = "bd 04 ef fe" ] || fail "version resource has no fixed file info"
word() { printf '%d' $((0x${fixed[$1 + 1]}${fixed[$1]})); }
file_version="$(word 10).$(word 8).$(word 14).$(word 12)"
product_version="$(word 18).$(word 16).$(word 22).$(word 20)"
[ "$file_version" = "$version.0" ] || fail "file version $file_version, project version $version"
[ "$product_version" = "$version.0" ] || fail "product version $product_version, project version $version"

# Keys and values are NUL-terminated UTF-16; one per line, each value on the next non-empty line.
version_strings=$(resource_bytes 0x000010/0x000001/0x000407 | iconv -c -f UTF-16LE -t UTF-8 | tr '\0' '\n')
version_value() { awk -v key="$1" 'NF == 0 { next } found { print; exit } index($0, key) && substr($0, length($0) - length(key) + 1) == key { found = 1 }' <<<"$version_strings"; }
grep -q '040704B0$' <<<"$version_strings" || fail "version strings not German Unicode (040704B0)"
for entry in "CompanyName=Tippwerk" "FileDescription=Lottosimulator 6 aus 49" "ProductName=Tippwerk" \
    "FileVersion=$version" "ProductVersion=$version" "OriginalFilename=tippwerk.exe"; do
    value=$(version_value "${entry%%=*}")
    [ "$value" = "${entry#*=}" ] || fail "version ${entry%%=*} is '$value', not '${entry#*=}'"
done

# The manifest Windows reads at process creation: type 24, id 1. A malformed one stops the program
# from starting at all, so it is parsed, not searched.
manifest=$(resource_bytes 0x000018/0x000001/0x000407)
xmllint --noout - <<<"$manifest" 2>/dev/null || fail "manifest is not well-formed XML"
xpath() { xmllint --xpath "$1" - <<<"$manifest" 2>/dev/null || true; }
[ "$(xpath 'string(//*[local-name()="requestedExecutionLevel"]/@level)')" = asInvoker ] ||
    fail "manifest does not run the program as invoker"
# Windows 7, 8, 8.1 and 10/11, in any order.
supported=$(xpath '//*[local-name()="supportedOS"]/@Id' | grep -oE '\{[0-9a-f-]+\}' | sort | tr '\n' ' ')
[ "$supported" = "{1f676c76-80e1-4239-95bb-83d0f6d0da78} {35138b9a-5d96-4fbd-8e2d-a2440225f93a} {4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38} {8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a} " ] ||
    fail "manifest supports the systems $supported"
[ "$(xpath 'string(//*[local-name()="dpiAware"])')" = true/pm ] || fail "manifest not DPI aware (true/pm)"
dpi_awareness=$(xpath 'string(//*[local-name()="dpiAwareness"])')
[ "${dpi_awareness%%,*}" = PerMonitorV2 ] || fail "manifest DPI awareness is '$dpi_awareness'"
controls='//*[local-name()="dependentAssembly"]/*[local-name()="assemblyIdentity"][@name="Microsoft.Windows.Common-Controls"]'
[ "$(xpath "string($controls/@version)")" = 6.0.0.0 ] && [ "$(xpath "string($controls/@publicKeyToken)")" = 6595b64144ccf1df ] ||
    fail "manifest does not ask for Common Controls 6"
manifest_version=$(xpath 'string(/*/*[local-name()="assemblyIdentity"]/@version)')
[ "$manifest_version" = "$version.0" ] || fail "manifest version $manifest_version, project version $version"

echo "ok: $exe is $magic, GUI, no link time, ${protections[*]}, imports $imports, German dialog templates," \
    "icon ${icon_sizes[*]}, version $version in German, manifest"
