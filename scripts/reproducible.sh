#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks that the release is reproducible: makes it (scripts/release.sh) twice, from two
# fresh clones of the committed tree (git HEAD), one after the other, and requires the same
# SHA256SUMS, artefact by artefact. Where an artefact differs, diffoscope's report says
# how, and the script fails.
#
#   scripts/reproducible.sh [--tests]
#
# It works in build-reproducible/ alone, and never touches build-release/, the
# maintainer's release. A TESSARY_SIGNING_KEY of the caller's is ignored: the first
# release is signed with a throwaway key made in a GNUPGHOME of its own (deleted on exit),
# checked as a user checks a download (sha256sum -c, gpg --verify), and its signature then
# removed, as no one could check it again; the second is not signed. The first is kept,
# in build-reproducible/first/build-release/, for the checks that follow in CI.
# --tests: the first release runs the ARM and Windows tests too (release.sh --tests).
#
# The second build varies what release.sh does not set itself: the folder it is made in
# (another name, another length), the host name (when run as root, in a namespace of its
# own) and the time (later). It varies as well what release.sh does set, so that a script
# that forgot to would show: umask 002 for 022, and Pacific/Auckland for UTC. Both are on
# one file system: CPack's .deb counts its folders' sizes into Installed-Size as the file
# system gives them (4 KiB each on ext4, a few bytes on tmpfs).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
[ "${1:---tests}" = --tests ] && [ $# -le 1 ] || fail "usage: scripts/reproducible.sh [--tests]"
deps git diffoscope-minimal gnupg
head=$(git rev-parse --verify -q HEAD) || fail "needs a git checkout: it builds the committed tree"
[ -z "$(git status --porcelain --untracked-files=no)" ] \
    || echo "reproducible.sh: uncommitted changes are not built; this checks HEAD"

unset TESSARY_SIGNING_KEY
work=$PWD/build-reproducible
rm -rf "$work"
mkdir -p "$work"
export GNUPGHOME=$work/gnupg
cleanup() {
    gpgconf --kill gpg-agent 2>/dev/null || true
    rm -rf "$GNUPGHOME"
}
trap cleanup EXIT
mkdir -m 700 "$GNUPGHOME"
gpg --batch --quiet --passphrase '' --quick-gen-key 'Tessary release check <release-check@tessary.invalid>' \
    ed25519 sign 1d 2>/dev/null || fail "gpg could not make a throwaway key in $GNUPGHOME"
key=$(gpg --batch --with-colons --list-keys 2>/dev/null | awk -F: '$1 == "fpr" { print $10; exit }')

# release_in DIR UMASK TZ [ARG...]: clones HEAD into DIR and makes the release there with
# the arguments; its output goes to DIR.log.
release_in() {
    local dir=$1 mask=$2 zone=$3 log=$1.log
    shift 3
    git clone -q "$PWD" "$dir" && git -C "$dir" checkout -q --detach "$head" || fail "could not clone HEAD into $dir"
    echo "reproducible.sh: the release in $dir with umask $mask, TZ=$zone ${*:+(}$*${*:+)}; log in $log"
    (cd "$dir" && umask "$mask" && TZ=$zone "${vary[@]}" scripts/release.sh "$@" >"$log" 2>&1) \
        || { tail -n 30 "$log" >&2; fail "release.sh failed in $dir; its output is in $log"; }
    sed -n '/^release.sh: Tessary/,$p' "$log"
}

vary=()
TESSARY_SIGNING_KEY=$key release_in "$work/first" 022 UTC "$@"
first=$work/first/build-release
(cd "$first" && sha256sum --quiet -c SHA256SUMS && gpg --batch --verify SHA256SUMS.asc SHA256SUMS 2>/dev/null) \
    || fail "the first release does not pass sha256sum -c and gpg --verify"
rm "$first/SHA256SUMS.asc"
# Another host name, in a UTS namespace of its own, where there are the rights for one.
if [ "$(id -u)" = 0 ] && unshare --uts true 2>/dev/null; then
    vary=(unshare --uts sh -c 'hostname tessary-second-build && exec "$@"' vary)
    echo "reproducible.sh: the second release is made on the host tessary-second-build"
fi
release_in "$work/second-release-made-elsewhere" 002 Pacific/Auckland
second=$work/second-release-made-elsewhere/build-release
[ ! -e "$second/SHA256SUMS.asc" ] || fail "the release without a key is signed"
[ "$(cut -c67- "$first/SHA256SUMS")" = "$(cut -c67- "$second/SHA256SUMS")" ] \
    || fail "the two releases hold different files: $(cut -c67- "$first/SHA256SUMS" | tr '\n' ' ') and $(cut -c67- "$second/SHA256SUMS" | tr '\n' ' ')"
differ=()
while read -r sum name; do
    grep -qx "$sum  $name" "$second/SHA256SUMS" && continue
    differ+=("$name")
    report=$work/$name.diffoscope.txt
    diffoscope --text "$report" "$first/$name" "$second/$name" >/dev/null 2>&1 || true
    echo "reproducible.sh: $name differs; diffoscope's report, $report, begins:" >&2
    head -n 40 "$report" >&2
done <"$first/SHA256SUMS"
[ ${#differ[@]} = 0 ] || fail "the two releases differ in: ${differ[*]}"

echo "reproducible.sh: the two releases of $(git rev-parse --short "$head") give the same SHA256SUMS; the first is in $first/"
