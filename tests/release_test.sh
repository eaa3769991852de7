#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The release's notes and day, as packaging/release.cmake reads them and
# scripts/new-release.sh writes them, in copies of the tree's NEWS.md and changelog:
#   tests/release_test.sh SOURCE_DIR
set -euo pipefail
source "$1/scripts/lib.sh"
copy=$(mktemp -d)
trap 'rm -rf "$copy"' EXIT
mkdir -p "$copy/packaging"
cp -R scripts "$copy/"
cp packaging/release.cmake packaging/changelog "$copy/packaging/"
cp NEWS.md "$copy/"
cd "$copy"

# A release made east of UTC, early in the day: its day is the one the trailer writes,
# for the build and for the scripts alike.
TZ=Pacific/Auckland scripts/new-release.sh 9.8.7 "2026-12-08 08:00 +1300" >/dev/null \
    || fail "new-release.sh failed"
[ "$(release)" = "9.8.7 2026-12-08" ] || fail "the build reads the release as '$(release)'"
[ "$(grep -m 2 '^## ' NEWS.md | tr '\n' '|')" = "## Unreleased|## 9.8.7 - 2026-12-08|" ] \
    || fail "NEWS.md's first headings are: $(grep -m 2 '^## ' NEWS.md)"
grep -q '^ -- .*>  Tue, 08 Dec 2026 08:00:00 +1300$' packaging/changelog || fail "the trailer is $(grep -m 1 '^ -- ' packaging/changelog)"
cp NEWS.md NEWS.good
cp packaging/changelog changelog.good

# Each fault, made in NEWS.md or the changelog (or both), stops the build, saying what it is.
faults=(
    "NEWS.md|s/^## 9.8.7 - 2026-12-08/## 9.8.7 - 2026-12-09/|differ in the date"
    "packaging/changelog|0,/^  \* /s/^  \* /  * Not in NEWS. /|differ in the items"
    "NEWS.md|/^## Unreleased/d|'## Unreleased' comes first"
    "NEWS.md|s/^## 9.8.7 - /## 9.8.7 (/|a release's heading is"
    "packaging/changelog|1,/^ -- /d|has 1 releases and NEWS.md 2"
    "NEWS.md packaging/changelog|s/9\.8\.7/0.9.7/|the releases go newest first"
)
for fault in "${faults[@]}"; do
    IFS='|' read -r file edit expected <<<"$fault"
    read -ra files <<<"$file"
    cp NEWS.good NEWS.md
    cp changelog.good packaging/changelog
    sed -i "$edit" "${files[@]}"
    if output=$(cmake -P packaging/release.cmake 2>&1); then
        fail "the release was read despite '$edit' in $file: $output"
    fi
    grep -qF "$expected" <<<"$output" || fail "'$edit' in $file was refused, but not for '$expected': $output"
done
echo "release_test.sh: new-release.sh's release read back, and ${#faults[@]} faults refused"
