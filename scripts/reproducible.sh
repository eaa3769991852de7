#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the package is reproducible: builds the .deb of the committed tree (git
# HEAD) twice with scripts/package.sh [ARCH], from two fresh clones in folders of
# different names and lengths, one after the other, the first with umask 022 in UTC,
# the second with umask 002 in Pacific/Auckland, and requires the same bytes. When they
# differ, diffoscope's report says where, and the script fails.
#
#   scripts/reproducible.sh [ARCH]     ARCH is passed on to scripts/package.sh
set -euo pipefail
source "$(dirname "$0")/lib.sh"
deps git diffoscope-minimal
head=$(git rev-parse --verify -q HEAD) || fail "needs a git checkout: it builds the committed tree"
[ -z "$(git status --porcelain --untracked-files=no)" ] \
    || echo "reproducible.sh: uncommitted changes are not built; this checks HEAD"

work=$(mktemp -d /var/tmp/tessary-reproducible.XXXXXX)
trap 'rm -rf "$work"' EXIT
arch=("$@")

# build DIR UMASK TZ: clones HEAD into DIR, builds the package there and copies it to DIR.deb.
build() {
    local dir=$1 deb
    git clone -q "$PWD" "$dir" && git -C "$dir" checkout -q --detach "$head" || fail "could not clone HEAD into $dir"
    echo "reproducible.sh: building in $dir with umask $2, TZ=$3"
    (cd "$dir" && umask "$2" && TZ=$3 scripts/package.sh "${arch[@]}" >"$dir.log" 2>&1) \
        || fail "scripts/package.sh ${arch[*]} failed in $dir; its output is in $dir.log"
    deb=$(ls "$dir"/build*/tessary_*.deb) || fail "no .deb in $dir/build*/"
    cp "$deb" "$dir.deb"
}

build "$work/a" 022 UTC
build "$work/second-build-elsewhere" 002 Pacific/Auckland
sums=$(sha256sum "$work/a.deb" "$work/second-build-elsewhere.deb")
echo "$sums"
if ! cmp -s "$work/a.deb" "$work/second-build-elsewhere.deb"; then
    report=/var/tmp/tessary-reproducible.diffoscope.txt
    diffoscope --text "$report" "$work/a.deb" "$work/second-build-elsewhere.deb" >/dev/null 2>&1 || true
    head -n 40 "$report" >&2
    fail "the two packages differ; diffoscope's whole report is $report"
fi
echo "reproducible.sh: the two builds of $(git rev-parse --short HEAD) give the same .deb"
