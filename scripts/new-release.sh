#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the notes of NEWS.md's "Unreleased" section the next release's: a section
# "## V - YYYY-MM-DD" in their place, an empty "Unreleased" above it, and the same items
# as a new top entry of packaging/changelog, whose trailer is `date -R`'s (or DATE's,
# any date that date(1) reads), so that the section's day is the trailer's. The
# metainfo's releases follow at the next build. Nothing is committed:
#
#   scripts/new-release.sh VERSION [DATE]
#
# The maintainer's name and address are the last entry's, or DEBFULLNAME and DEBEMAIL,
# as dch takes them (docs/releasing.md, "Cutting a release").
set -euo pipefail
source "$(dirname "$0")/lib.sh"
deps cmake
[ $# -ge 1 ] && [ $# -le 2 ] || fail "usage: scripts/new-release.sh VERSION [DATE]"
version=$1
[[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] || fail "the version '$version' is not MAJOR.MINOR.PATCH"
previous=$(release_version)
dpkg --compare-versions "$version" gt "$previous" || fail "$version does not come after $previous, the last release"
stamp=$(date -R ${2:+-d "$2"}) || fail "date cannot read '$2'"
# The day as the trailer writes it, in the trailer's own zone.
day=$(TZ=UTC date -d "$(sed -E 's/^[A-Z][a-z]{2}, ([0-9]+ [A-Z][a-z]{2} [0-9]{4}).*/\1/' <<<"$stamp")" +%F)
signer=$(sed -n '/^ -- /{s/^ -- \(.*>\)  .*/\1/p;q}' packaging/changelog)
[ -z "${DEBFULLNAME:-}" ] || [ -z "${DEBEMAIL:-}" ] || signer="$DEBFULLNAME <$DEBEMAIL>"

# The Unreleased section's items, as written.
items=$(awk '/^## /{ inside = ($0 == "## Unreleased"); next } inside && NF' NEWS.md)
[ -n "$items" ] || fail "NEWS.md's '## Unreleased' holds no item: write what changes for users first"
grep -qvE '^(- |  )' <<<"$items" && fail "NEWS.md's '## Unreleased' holds lines that are not items: $items"

news=$(mktemp) changelog=$(mktemp)
trap 'rm -f "$news" "$changelog"' EXIT
awk -v heading="## $version - $day" '
    $0 == "## Unreleased" { print; print ""; print heading; next }
    { print }' NEWS.md >"$news"
{
    echo "tessary ($version) unstable; urgency=medium"
    echo
    sed -e 's/^- /  * /' -e 's/^  \([^*]\)/    \1/' <<<"$items"
    echo
    echo " -- $signer  $stamp"
    echo
    cat packaging/changelog
} >"$changelog"
cp "$news" NEWS.md
cp "$changelog" packaging/changelog
[ "$(release)" = "$version $day" ] || fail "the build reads the release as '$(release)', not '$version $day'"
echo "new-release.sh: NEWS.md and packaging/changelog hold Tessary $version of $day; review them, then commit"
