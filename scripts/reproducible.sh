#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the package is reproducible: builds the .deb of the committed tree (git
# HEAD) twice with scripts/package.sh [ARCH], from two fresh clones in folders of
# different names and lengths, one after the other, the first with umask 022 in UTC,
# the second with umask 002 in Pacific/Auckland, and requires the same bytes. When they
# differ, diffoscope's report says where, and the script fails.
#
#   scripts/reproducible.sh [ARCH]     ARCH is passed on to scripts/package.sh
#   scripts/reproducible.sh windows    the same for tessary.exe, the zip and the installer
#                                      (scripts/windows.sh --no-tests)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
deps git diffoscope-minimal
head=$(git rev-parse --verify -q HEAD) || fail "needs a git checkout: it builds the committed tree"
[ -z "$(git status --porcelain --untracked-files=no)" ] \
    || echo "reproducible.sh: uncommitted changes are not built; this checks HEAD"

work=$(mktemp -d /var/tmp/tessary-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
if [ "${1:-}" = windows ]; then
    command=(scripts/windows.sh --no-tests)
    outputs=('build-windows/tessary.exe' 'build-windows/tessary-*-win64.zip' 'build-windows/tessary-*-win64-setup.exe')
else
    command=(scripts/package.sh "$@")
    outputs=('build*/tessary_*.deb')
fi

# build_in DIR UMASK TZ: clones HEAD into DIR, builds there and copies the outputs (patterns,
# matched in DIR, each to one file) to DIR.out/.
build_in() {
    local dir=$1 output found
    git clone -q "$PWD" "$dir" && git -C "$dir" checkout -q --detach "$head" || fail "could not clone HEAD into $dir"
    echo "reproducible.sh: building in $dir with umask $2, TZ=$3"
    (cd "$dir" && umask "$2" && TZ=$3 "${command[@]}" >"$dir.log" 2>&1) \
        || fail "${command[*]} failed in $dir; its output is in $dir.log"
    mkdir "$dir.out"
    for output in "${outputs[@]}"; do
        found=$(cd "$dir" && compgen -G "$output") && [ "$(wc -l <<<"$found")" = 1 ] \
            || fail "not one $output in $dir: ${found:-none}"
        cp "$dir/$found" "$dir.out/"
    done
}

build_in "$work/a" 022 UTC
build_in "$work/second-build-elsewhere" 002 Pacific/Auckland
for file in "$work/a.out"/*; do
    other=$work/second-build-elsewhere.out/${file##*/}
    sha256sum "$file" "$other"
    if ! cmp -s "$file" "$other"; then
        report=/var/tmp/tessary-reproducible.diffoscope.txt
        diffoscope --text "$report" "$file" "$other" >/dev/null 2>&1 || true
        head -n 40 "$report" >&2
        fail "the two builds of ${file##*/} differ; diffoscope's whole report is $report"
    fi
done
echo "reproducible.sh: the two builds of $(git rev-parse --short HEAD) give the same $(cd "$work/a.out" && echo *)"
