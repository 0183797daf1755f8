#!/usr/bin/env bash
# Runs shellcheck over every shell script in the repository (the set-up commands, scripts/,
# .ci/run, the tests' scripts and the rest) and fails on any finding, notes included.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t scripts < <(git ls-files -co --exclude-standard | while read -r f; do
    [ -f "$f" ] || continue
    case "${f##*/}" in
    *.sh) echo "$f" ;;
    *.*) ;;
    *) head -n 1 "$f" | grep -qE '^#!.*\b(ba)?sh\b' && echo "$f" ;;
    esac
done)
if ! shellcheck --external-sources "${scripts[@]}"; then
    echo "shellcheck has findings in the scripts above" >&2
    exit 1
fi
echo "shellcheck: no findings in ${#scripts[@]} scripts."
