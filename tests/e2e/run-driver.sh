#!/usr/bin/env bash
# Runs the end-to-end driver under Wine, with a capture loop beside it that answers its screenshot requests.
# Usage: run-driver.sh WINE DRIVER.EXE WALK TIPPWERK.EXE SCREENSHOT-FOLDER [DRIVER-OPTIONS...]
# TIPPWERK_DRIVER_LIMIT sets the seconds the driver may take (default 150).
set -euo pipefail
[ $# -ge 5 ] || { sed -n 3p "$0" >&2; exit 2; }

# The driver and the program need a Wine session on a display; outside one, make one.
if [ -z "${DISPLAY:-}" ]; then
    root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
    exec "$root/scripts/with-wine" bash "$0" "$@"
fi

wine=$1 driver=$2 walk=$3 program=$4 folder=$5
shift 5

driver_limit=${TIPPWERK_DRIVER_LIMIT:-150}   # seconds; the driver's own waits end well before this
capture_limit=20   # seconds for one screenshot

mkdir -p "$folder"
rm -f "$folder"/*.request "$folder"/*.pending

# Answers each NAME.request (one window's screen area a line, as WxH+X+Y) with NAME.png: the
# windows cut from the screen and laid on a desktop colour, so the bare X root between them does not
# show. Written under another name first, so the driver never finds half a picture.
desktop_colour='#008080'
answer_requests() {
    local request name area windows
    while sleep 0.1; do
        for request in "$folder"/*.request; do
            [ -e "$request" ] || continue
            name=${request%.request}
            windows=()
            while read -r area; do
                windows+=('(' mpr:screen -crop "$area" ')')
            done <"$request"
            rm -f "$request"
            if timeout "$capture_limit" xwd -root -silent |
                timeout "$capture_limit" convert xwd:- -write mpr:screen +delete "${windows[@]}" \
                    -background "$desktop_colour" -layers merge +repage -strip png:"$name.png.part"; then
                mv "$name.png.part" "$name.png"
                echo "screenshot: $name.png"
            else
                echo "run-driver: no screenshot for $name.request" >&2
            fi
        done
    done
}
answer_requests &
capture_loop=$!
trap 'kill "$capture_loop" 2>/dev/null || true' EXIT

# A walk that fails prints this command, with its options, to be run again as it was.
export TIPPWERK_E2E_REPLAY="$(cd "$(dirname "$0")" && pwd)/$(basename "$0") $wine $driver $walk $program $folder"
# Wine sees the host's files through drive Z:, the root of the Unix tree.
timeout --kill-after=10 "$driver_limit" "$wine" "$driver" "$walk" "Z:$program" "Z:$folder" "$@"
