#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the release is reproducible: makes it (scripts/release.sh) twice, from two
# fresh clones of the committed tree (git HEAD) in folders of different names and lengths,
# one after the other, the first with umask 022 in UTC, the second with umask 002 in
# Pacific/Auckland, and requires the same SHA256SUMS, artefact by artefact. Where an
# artefact differs, diffoscope's report says how, and the script fails. Both are on one
# file system: CPack's .deb counts its folders' sizes into Installed-Size, as the file
# system gives them (4 KiB each on ext4, a few bytes on tmpfs).
#
#   scripts/reproducible.sh [--tests]
#
# The first release is signed with a throwaway key made in a temporary GNUPGHOME, and is
# checked as a user checks a download (sha256sum -c, gpg --verify); the second is not
# signed. The first is then copied to build-release/. --tests: the first release runs the
# ARM and Windows tests too (scripts/release.sh --tests).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
[ "${1:---tests}" = --tests ] && [ $# -le 1 ] || fail "usage: scripts/reproducible.sh [--tests]"
deps git diffoscope-minimal gnupg
head=$(git rev-parse --verify -q HEAD) || fail "needs a git checkout: it builds the committed tree"
[ -z "$(git status --porcelain --untracked-files=no)" ] \
    || echo "reproducible.sh: uncommitted changes are not built; this checks HEAD"

work=$(mktemp -d /var/tmp/tessary-reproducible.XXXXXX)
export GNUPGHOME=$work/gnupg
cleanup() {
    gpgconf --kill gpg-agent 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
mkdir -m 700 "$GNUPGHOME"
gpg --batch --quiet --passphrase '' --quick-gen-key 'Tessary release check <release-check@tessary.invalid>' \
    ed25519 sign 1d 2>/dev/null || fail "gpg could not make a throwaway key in $GNUPGHOME"
key=$(gpg --batch --with-colons --list-keys 2>/dev/null | awk -F: '$1 == "fpr" { print $10; exit }')

# release_in DIR UMASK TZ [ARG...]: clones HEAD into DIR and makes the release there with
# the arguments; its output goes to /var/tmp/tessary-reproducible-NAME.log, kept.
release_in() {
    local dir=$1 mask=$2 zone=$3 log
    shift 3
    log=/var/tmp/tessary-reproducible-${dir##*/}.log
    git clone -q "$PWD" "$dir" && git -C "$dir" checkout -q --detach "$head" || fail "could not clone HEAD into $dir"
    echo "reproducible.sh: the release in $dir with umask $mask, TZ=$zone ${*:+(}$*${*:+)}; log in $log"
    (cd "$dir" && umask "$mask" && TZ=$zone scripts/release.sh "$@" >"$log" 2>&1) \
        || { tail -n 30 "$log" >&2; fail "release.sh failed in $dir; its output is in $log"; }
    sed -n '/^release.sh: Tessary/,$p' "$log"
}

TESSARY_SIGNING_KEY=$key release_in "$work/a" 022 UTC "$@"
(cd "$work/a/build-release" && sha256sum --quiet -c SHA256SUMS && gpg --batch --verify SHA256SUMS.asc SHA256SUMS 2>/dev/null) \
    || fail "the first release does not pass sha256sum -c and gpg --verify"
release_in "$work/second-release-elsewhere" 002 Pacific/Auckland
first=$work/a/build-release second=$work/second-release-elsewhere/build-release
[ ! -e "$second/SHA256SUMS.asc" ] || fail "the release without a key is signed"
[ "$(cut -c67- "$first/SHA256SUMS")" = "$(cut -c67- "$second/SHA256SUMS")" ] \
    || fail "the two releases hold different files: $(cut -c67- "$first/SHA256SUMS" | tr '\n' ' ') and $(cut -c67- "$second/SHA256SUMS" | tr '\n' ' ')"
differ=()
while read -r sum name; do
    grep -qx "$sum  $name" "$second/SHA256SUMS" && continue
    differ+=("$name")
    report=/var/tmp/tessary-reproducible-$name.diffoscope.txt
    diffoscope --text "$report" "$first/$name" "$second/$name" >/dev/null 2>&1 || true
    echo "reproducible.sh: $name differs; diffoscope's report, $report, begins:" >&2
    head -n 40 "$report" >&2
done <"$first/SHA256SUMS"
[ ${#differ[@]} = 0 ] || fail "the two releases differ in: ${differ[*]}"

rm -rf build-release
cp -R "$first" build-release
echo "reproducible.sh: the two releases of $(git rev-parse --short "$head") give the same SHA256SUMS; the first, signed, is in build-release/"
