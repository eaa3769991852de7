#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Proves that a user of one release gets the next on every platform, as users get it:
#
#   scripts/upgrade.sh RELEASE_DIR
#
# RELEASE_DIR holds release N, the committed tree's, as scripts/release.sh makes it (CI
# gives scripts/reproducible.sh's first). Release N+1, the next patch version, is made as
# docs/releasing.md says, in a clone of HEAD in build-upgrade/next/: a note in NEWS.md's
# "Unreleased", scripts/new-release.sh, a commit, and scripts/release.sh, which must take
# it. Then:
#   Debian:   on a fresh Debian 12, N's .deb, then N+1's by apt-get install ./, then a
#             purge (scripts/fresh/upgrade.sh); and piuparts on N+1's (scripts/piuparts.sh);
#   Windows:  N's installer, then N+1's over it, under Wine (windows/installer-test.sh);
#   the page: N's site served and taken over by its worker, then replaced by N+1's
#             (web/test/update.mjs).
# Each step's time is printed as it ends.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
[ $# -eq 1 ] && [ -d "$1" ] || fail "usage: scripts/upgrade.sh RELEASE_DIR (release N, as scripts/release.sh makes it)"
old_dir=$(realpath "$1")
old=$(release_version)
for file in "tessary_${old}_amd64.deb" "tessary-$old-win64-setup.exe" "tessary-$old-site.zip"; do
    [ -f "$old_dir/$file" ] || fail "$old_dir holds no $file: is it the release of this tree, $old?"
done
new=${old%.*}.$((${old##*.} + 1))

timed() {
    local began=$SECONDS
    "$@"
    printf 'upgrade.sh: %4d s   %s\n' $((SECONDS - began)) "$*"
}

next=$PWD/build-upgrade/next
# In a subshell of its own, as it works in the clone; each step says what failed.
next_release() (
    rm -rf "$next"
    git clone -q "$PWD" "$next" || fail "could not clone HEAD into $next"
    cd "$next"
    awk '{ print } $0 == "## Unreleased" { print ""; print "- The upgrade check'"'"'s own release." }' NEWS.md >NEWS.new \
        && mv NEWS.new NEWS.md || fail "could not write a note into $next/NEWS.md"
    scripts/new-release.sh "$new" >/dev/null || fail "new-release.sh $new failed in $next"
    git -c user.name=upgrade.sh -c user.email=upgrade@tessary.invalid commit -q -am "Tessary $new" \
        || fail "could not commit release $new in $next"
    scripts/release.sh >release.log 2>&1 \
        || { tail -n 30 release.log >&2; fail "release.sh refused or failed release $new, made as docs/releasing.md says; see $next/release.log"; }
)
timed next_release
new_dir=$next/build-release
echo "upgrade.sh: release $old in $old_dir, release $new in $new_dir"

# Debian 12, as the release's packages are made on it.
debian() {
    scripts/fresh-install.sh --with "$old_dir/tessary_${old}_amd64.deb" --with "$new_dir/tessary_${new}_amd64.deb" \
        bookworm scripts/fresh/upgrade.sh "/root/tessary_${old}_amd64.deb" "/root/tessary_${new}_amd64.deb"
    # After the upgrade, whose downloads it then takes from the cache.
    scripts/piuparts.sh "$new_dir/tessary_${new}_amd64.deb" bookworm
}
timed debian

timed windows/installer-test.sh "$new_dir/tessary-$new-win64-setup.exe" "$old_dir/tessary-$old-win64-setup.exe"

# The installed page, in Chromium, with web/'s npm packages as the browser tests have them.
page() {
    deps "${WEB_TEST_PACKAGES[@]}" unzip
    npm_ci
    node web/test/update.mjs "$old_dir/tessary-$old-site.zip" "$new_dir/tessary-$new-site.zip"
}
timed page
