#!/usr/bin/env bash
# Lists the include edges between the folders of src/ and fails on one that runs back up.
#
# The layers, from the bottom up; folders on one line are side by side and do not include
# each other. A file may include its own folder and any folder on a lower line.
#   --edges   print every edge with its number of includes (the default prints back edges only)
set -euo pipefail
cd "$(dirname "$0")/../src"

layers=(
    "common"
    "profiles"
    "engine platform profile_editor"
    "encoder desktop"
    "widgets"
    "browser"
    "sources batch"
    "app"
)

declare -A rank
for i in "${!layers[@]}"; do
    for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

edges=$(grep -rHoE '^#include "[a-z_0-9]+/' --include='*.cpp' --include='*.h' . |
    sed -E 's|^\./([^/]+)/[^:]*:#include "([^/]+)/|\1 \2|' |
    awk '$1 != $2' | sort | uniq -c | awk '{print $2, $3, $1}')

back=0
while read -r from to count; do
    [ -n "$from" ] || continue
    for folder in "$from" "$to"; do
        if [ -z "${rank[$folder]+set}" ]; then
            echo "src/$folder has no layer in scripts/check-includes.sh" >&2
            exit 1
        fi
    done
    if [ "${rank[$to]}" -ge "${rank[$from]}" ]; then
        echo "back: $from -> $to ($count)"
        back=$((back + 1))
    elif [ "${1:-}" = "--edges" ]; then
        echo "      $from -> $to ($count)"
    fi
done <<<"$edges"

if [ "$back" -gt 0 ]; then
    echo "$back include edge(s) run back up; see the layers in scripts/check-includes.sh" >&2
    exit 1
fi
echo "Includes between src/ folders run one way."
