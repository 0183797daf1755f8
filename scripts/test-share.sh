#!/usr/bin/env bash
# Prints the share of test code: non-blank, non-comment lines of .cpp, .h, .py and .sh files
# under tests/ against those of tests/, src/, tools/, bench/ and scripts/ together. C++ lines
# that start a // or /* comment or continue one with * do not count; nor do .py and .sh lines
# that start with # (the shebang among them).
#
# usage: scripts/test-share.sh
set -euo pipefail
cd "$(dirname "$0")/.."

count() {
    local cpp other
    cpp=$(find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -print0 | xargs -0 cat |
        grep -cvE '^\s*($|//|/\*|\*)')
    other=$(find "$@" -type f \( -name '*.py' -o -name '*.sh' \) -print0 | xargs -0 cat |
        grep -cvE '^\s*($|#)')
    echo $((cpp + other))
}

tests=$(count tests)
rest=$(count src tools bench scripts)
awk -v t="$tests" -v r="$rest" \
    'BEGIN { printf "test lines %d, other lines %d: %.1f %% tests\n", t, r, 100 * t / (t + r) }'
