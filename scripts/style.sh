#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the style that tools keep: every C++ file against .clang-format, and every
# shell script through shellcheck, warnings and errors; build folders and node_modules
# are left out. With --fix, formats the C++ files instead.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
deps "${STYLE_PACKAGES[@]}"

# ours PATTERN...: the tree's files of those names, outside build folders and node_modules.
ours() {
    local names=() pattern
    for pattern in "$@"; do names+=(-o -name "$pattern"); done
    find . \( -path './build*' -o -path ./.git -o -name node_modules \) -prune \
        -o -type f \( "${names[@]:1}" \) -print | sort
}
mapfile -t sources < <(ours '*.cpp' '*.h' '*.tpp')
# CI's script is not in the source tarball (.gitattributes).
mapfile -t shells < <(ours '*.sh' && if [ -f .ci/run ]; then echo ./.ci/run; fi)

if [ "${1:-}" = --fix ]; then
    clang-format -i "${sources[@]}"
    exit 0
fi
clang-format --dry-run -Werror "${sources[@]}" || fail "clang-format would change the files above (scripts/style.sh --fix)"
shellcheck -x -S warning "${shells[@]}" || fail "shellcheck finds fault with the scripts above"
echo "style.sh: ${#sources[@]} C++ files formatted, ${#shells[@]} scripts clean"
