#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Keeps the docs and the tree together: in README.md, CONTRIBUTING.md and docs/*.md,
# every relative link leads to a file of the tree (and to one of its headings, where it
# names one), and every path of the tree named (scripts/..., web/..., docs/..., and the
# other top folders) exists. A placeholder in capitals (arm/toolchain-ARCH.cmake) stands
# for any name. Last, a doc with one fault of each kind must give three complaints.
#   tests/docs_test.sh SOURCE_DIR
set -euo pipefail
source "$1/scripts/lib.sh"

# anchors FILE: the fragment of each heading of FILE, as GitHub makes it.
anchors() {
    awk '/^```/ { code = !code } !code && /^#+ / { sub(/^#+ /, ""); print }' "$1" \
        | tr '[:upper:]' '[:lower:]' | LC_ALL=C sed 's/[^a-z0-9 _-]//g; s/ /-/g'
}

# exists PATH: the path is in the tree, literally or with its capitals as a wildcard.
exists() {
    [ -e "$1" ] || compgen -G "$(sed -E 's/[A-Z][A-Z0-9_]+/*/g' <<<"$1")" >/dev/null
}

# check FILE...: one line for each link or path of the files that leads nowhere.
checked=0
check() {
    local file target path anchor
    for file in "$@"; do
        while read -r target; do
            checked=$((checked + 1))
            path=${target%%#*} anchor=
            [[ $target != *#* ]] || anchor=${target#*#}
            path=$(dirname "$file")/${path:-$(basename "$file")}
            if ! [ -e "$path" ]; then
                echo "$file: link $target: no such file"
            elif [ -n "$anchor" ] && ! anchors "$path" | grep -qx -- "$anchor"; then
                echo "$file: link $target: no such heading"
            fi
        done < <(grep -oE '\]\([^)]+\)' "$file" | sed 's/^](//; s/)$//' | grep -vE '^(https?|mailto):')
        while read -r path; do
            checked=$((checked + 1))
            # CI's own script is left out of the source tarball.
            [[ $path == .ci/* && ! -d .ci ]] || exists "$path" || echo "$file: $path: not in the tree"
        done < <(grep -oE "(^|[][ \`(\"'])(\.ci|arm|bench|docs|packaging|scripts|src|tests|web|windows)/[A-Za-z0-9._/*-]*" "$file" \
            | sed -E "s/^[][ \`(\"']//; s/[.,:]+$//" | sort -u)
    done
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
check README.md CONTRIBUTING.md docs/*.md >"$work/problems"
[ ! -s "$work/problems" ] || fail "the docs name what the tree does not have:"$'\n'"$(cat "$work/problems")"
found=$checked
[ "$found" -gt 100 ] || fail "only $found links and paths found: is the check reading the docs?"

printf '# Here\n\n[a](no-such-file.md), [b](#nowhere), [c](#here), `scripts/no-such.sh`\n' >"$work/planted.md"
check "$work/planted.md" >"$work/planted"
[ "$(wc -l <"$work/planted")" -eq 3 ] || fail "a planted broken link or path went unseen: $(cat "$work/planted")"
echo "docs_test.sh: $found links and paths in the docs, each found"
