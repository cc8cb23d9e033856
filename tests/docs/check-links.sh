#!/usr/bin/env bash
# Fails naming every relative link or image in README.md and docs/*.md whose target does not exist.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/../.."

checked=0 broken=0
for file in README.md docs/*.md; do
    [ -f "$file" ] || continue
    # Code spans are dropped first: a link written as an example in backticks is no link.
    while IFS=: read -r line target; do
        target=${target#](} target=${target%)} target=${target%% *}
        case $target in http://* | https://* | mailto:*) continue ;; esac
        path=${target%%#*}
        [ -n "$path" ] || continue
        checked=$((checked + 1))
        if [[ $path == /* ]]; then resolved=.$path; else resolved=$(dirname "$file")/$path; fi
        if [ ! -e "$resolved" ]; then
            echo "$file:$line: broken link: $target" >&2
            broken=$((broken + 1))
        fi
    done < <(sed 's/`[^`]*`//g' "$file" | grep -n -o ']([^)]*)' || true)
done

# Finding no link at all means the pattern no longer matches what the files hold.
[ "$checked" -gt 0 ] || { echo "check-links: no relative link found in README.md or docs/*.md" >&2; exit 1; }
echo "check-links: $checked relative links, $broken broken"
[ "$broken" -eq 0 ]
