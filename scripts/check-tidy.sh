#!/usr/bin/env bash
# Runs clang-tidy with the repository's .clang-tidy over the C++ sources of src/ and tools/,
# two files at a time per core, and fails on any finding. It needs the compile commands of a
# configured build: it configures build-tidy/ if needed and runs Qt's moc there (some sources
# include what moc makes), but compiles nothing. Generated sources are not checked.
#   FILES... only these files (paths from the repository's top)
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
build="build-tidy"

files=("$@")

if [ ! -f "$build/compile_commands.json" ]; then
    ./scripts/configure.sh "$build" >/dev/null
fi
# moc's output for each target, without building the targets it depends on (nor the
# resource targets, whose only source is generated).
find "$top/$build" -name AutogenInfo.json -path '*_autogen.dir/*' \
    ! -path '*_resources_*' | while read -r info; do
    (cd "$(dirname "$(dirname "$(dirname "$info")")")" &&
        cmake -E cmake_autogen "$info" RelWithDebInfo >/dev/null)
done

if [ ${#files[@]} -eq 0 ]; then
    mapfile -t files < <(git ls-files -co --exclude-standard -- 'src/*.cpp' 'tools/*.cpp' |
        while read -r f; do [ -f "$f" ] && echo "$f"; done)
fi

log=$(mktemp)
trap 'rm -f "$log"' EXIT
printf '%s\n' "${files[@]}" |
    xargs -P "$(nproc)" -n 2 clang-tidy -p "$build" --quiet \
        --header-filter="^$top/(src|tools)/" >"$log" 2>/dev/null || true
# A header's findings come once for each file that includes it.
mapfile -t findings < <(grep -E ': (warning|error): ' "$log" | sed "s|^$top/||" | sort -u)
if [ ${#findings[@]} -gt 0 ]; then
    printf '%s\n' "${findings[@]}"
    echo "clang-tidy: ${#findings[@]} finding(s) in ${#files[@]} files" >&2
    exit 1
fi
echo "clang-tidy: no findings in ${#files[@]} files."
