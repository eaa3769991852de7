#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the release of the committed tree (git HEAD) in build-release/, which then holds
# only these files, V being the version of packaging/changelog's top entry:
#
#   tessary-V.tar.gz                 the source (git archive), top folder tessary-V/
#   tessary_V_amd64.deb, tessary_V_arm64.deb, tessary_V_armhf.deb
#   tessary-V-win64.zip, tessary-V-win64-setup.exe
#   tessary-V.html                   the single-file page
#   tessary-V-site.zip               the folder a web host serves
#   SHA256SUMS                       sha256sum's format, sorted by name
#   SHA256SUMS.asc                   its detached armoured signature, when
#                                    TESSARY_SIGNING_KEY names a GnuPG key
#
#   scripts/release.sh [--tests]
#
# Every artefact is built from the source tarball itself, unpacked in build-release-work/
# (where git finds no repository), by the tree's own scripts, which run their own checks:
# package.sh, package.sh arm64 and armhf, windows.sh --no-tests, web.sh. Their logs stay
# in build-release-work/. Then each artefact is read back, and the script fails, naming
# the file, where one does not carry V (and the release date, where it has one: the day
# packaging/changelog's trailer writes, as the build reads it).
# --tests: the ARM packages through scripts/cross.sh and Windows' through scripts/windows.sh,
# each with its tests under emulation (as CI's first build does).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tests=0
case ${1:-} in
    --tests) tests=1 ;;
    "") ;;
    *) fail "usage: scripts/release.sh [--tests]" ;;
esac
start=$SECONDS
[ "$(dpkg --print-architecture)" = amd64 ] || fail "the release is made on amd64 (its Windows build and packages need it)"
deps "${RELEASE_PACKAGES[@]}"
[ -z "${TESSARY_SIGNING_KEY:-}" ] || deps gnupg
reproducible
version=$(release_version)
date=$(release_date)
git rev-parse --verify -q HEAD >/dev/null || fail "needs a git checkout: the source tarball is the committed tree"
[ -z "$(git status --porcelain --untracked-files=no)" ] \
    || fail "the tree has uncommitted changes; the release is made of what is committed: commit first"

out=$PWD/build-release
work=$PWD/build-release-work
rm -rf "$out" "$work"
mkdir -p "$out" "$work"
tarball=$out/tessary-$version.tar.gz

# The source: git archive's files (less what .gitattributes marks export-ignore), in name
# order, dated from the release, owned by root, modes from umask 022, gzip without a name
# or a time.
git -c tar.umask=0022 archive --format=tar --prefix="tessary-$version/" HEAD | tar -x -C "$work" \
    || fail "git archive of HEAD failed"
tree=$work/tessary-$version
(cd "$work" && tar -c --sort=name --format=gnu --mtime="@$SOURCE_DATE_EPOCH" --owner=0 --group=0 \
    --numeric-owner "tessary-$version") | gzip -9n >"$tarball" || fail "could not make $tarball"

# step WHAT COMMAND...: runs a script of the unpacked tarball there, its output in a log.
export GIT_CEILING_DIRECTORIES=$work
step() {
    local what=$1 log="$work/${1// /-}.log" began=$SECONDS
    shift
    (cd "$tree" && "$@") >"$log" 2>&1 || { tail -n 30 "$log" >&2; fail "$* failed for $what; its log is $log"; }
    printf 'release.sh: %-22s %4d s   %s\n' "$what" $((SECONDS - began)) "$*"
}
step "the amd64 package" scripts/package.sh
for arch in arm64 armhf; do
    if [ "$tests" = 1 ]; then
        step "the $arch package" scripts/cross.sh "$arch"
    else
        step "the $arch package" scripts/package.sh "$arch"
    fi
done
if [ "$tests" = 1 ]; then
    step "Windows" scripts/windows.sh
else
    step "Windows" scripts/windows.sh --no-tests
fi
step "the page" scripts/web.sh

take() {
    [ -f "$tree/$1" ] || fail "the build made no $1"
    cp "$tree/$1" "$out/$2"
}
for arch in amd64 arm64 armhf; do
    folder=build-$arch
    [ "$arch" != amd64 ] || folder=build-package
    take "$folder/tessary_${version}_$arch.deb" "tessary_${version}_$arch.deb"
done
take "build-windows/tessary-$version-win64.zip" "tessary-$version-win64.zip"
take "build-windows/tessary-$version-win64-setup.exe" "tessary-$version-win64-setup.exe"
take build-web/tessary.html "tessary-$version.html"
[ -d "$tree/build-web/site" ] || fail "the build made no build-web/site/, the folder for a web host"
zip_tree "$tree/build-web/site" "$out/tessary-$version-site.zip"

# Each artefact read back: V (and the release date) wherever it is written.
# agree FILE WHAT FOUND EXPECTED
agree() { [ "$3" = "$4" ] || fail "$1: $2 is '$3', not '$4' (packaging/changelog's top entry)"; }
cd "$out"
agree "tessary-$version.tar.gz" "the top folder" "$(tar -tzf "tessary-$version.tar.gz" | cut -d/ -f1 | sort -u)" "tessary-$version"
stray=$(tar -tzf "tessary-$version.tar.gz" | grep -E '^[^/]+/(build[^/]*|\.git|\.ci)(/|$)' || true)
[ -z "$stray" ] || fail "tessary-$version.tar.gz holds what a build does not need: $stray"
for arch in amd64 arm64 armhf; do
    deb=tessary_${version}_$arch.deb
    agree "$deb" "its Version" "$(dpkg-deb -f "$deb" Version)" "$version"
    agree "$deb" "its Architecture" "$(dpkg-deb -f "$deb" Architecture)" "$arch"
    # The newest release first; the earlier ones follow it (packaging/release.cmake).
    agree "$deb" "the metainfo's newest release" \
        "$(dpkg-deb --fsys-tarfile "$deb" | tar -xO --wildcards './usr/share/metainfo/*.metainfo.xml' \
            | grep -o '<release [^>]*>' | sed -n 1p)" \
        "<release version=\"$version\" date=\"$date\">"
    agree "$deb" "the manual page's title" \
        "$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man1/tessary.1.gz | gzip -dc | grep '^\.TH')" \
        ".TH TESSARY 1 \"$date\" \"Tessary $version\" \"User Commands\""
done
zip=tessary-$version-win64.zip
agree "$zip" "its files" "$(unzip -Z1 "$zip" | tr '\n' ' ')" \
    "tessary-$version-win64/ tessary-$version-win64/LICENSE.txt tessary-$version-win64/README.txt tessary-$version-win64/tessary.exe "
unzip -p "$zip" "tessary-$version-win64/tessary.exe" >"$work/tessary.exe"
wrestool -x --raw --type=version "$work/tessary.exe" >"$work/version.res" || fail "$zip: its tessary.exe has no version resource"
for name in FileVersion ProductVersion; do
    agree "$zip" "tessary.exe's $name" "$(exe_version "$work/version.res" "$name")" "$version"
done
# The numbers Explorer shows: VS_FIXEDFILEINFO (after its signature FEEF04BD and its own
# version), the file's version as two little-endian words of two 16-bit numbers each.
hex=$(od -An -v -tx1 "$work/version.res" | tr -d ' \n')
hex=${hex#*bd04effe}
fixed=
for at in 12 8 20 16; do fixed+=.$((16#${hex:at+2:2}${hex:at:2})); done
agree "$zip" "tessary.exe's FILEVERSION" "${fixed#.}" "$version.0"
nsi=$tree/build-windows/_CPack_Packages/win64/NSIS/project.nsi
agree "tessary-$version-win64-setup.exe" "the version in Windows' list of programs (DisplayVersion, $nsi)" \
    "$(sed -n '/Push "DisplayVersion"/{n;s/^ *Push "\([^"]*\)"$/\1/p}' "$nsi")" "$version"
grep -q "Tessary $version" "tessary-$version.html" || fail "tessary-$version.html: its text does not say 'Tessary $version'"
# grep -c reads it all: -q would stop unzip early, and pipefail take that for a failure.
unzip -p "tessary-$version-site.zip" "tessary-$version-site/index.html" | grep -c "Tessary $version" >/dev/null \
    || fail "tessary-$version-site.zip: its index.html does not say 'Tessary $version'"

rm -f SHA256SUMS SHA256SUMS.asc
find . -mindepth 1 -printf '%f\n' | LC_ALL=C sort | xargs sha256sum -- >"$work/SHA256SUMS" \
    && mv "$work/SHA256SUMS" SHA256SUMS || fail "could not write SHA256SUMS"
if [ -n "${TESSARY_SIGNING_KEY:-}" ]; then
    gpg --batch --yes --local-user "$TESSARY_SIGNING_KEY" --armor --detach-sign --output SHA256SUMS.asc SHA256SUMS \
        || fail "gpg could not sign SHA256SUMS with the key $TESSARY_SIGNING_KEY"
    gpg --batch --verify SHA256SUMS.asc SHA256SUMS 2>/dev/null || fail "SHA256SUMS.asc does not verify"
fi
sha256sum --quiet -c SHA256SUMS || fail "SHA256SUMS does not check"

echo "release.sh: Tessary $version of $date, made in $(((SECONDS - start) / 60)) min $(((SECONDS - start) % 60)) s, in build-release/:"
find . -mindepth 1 -printf '  %-36f %9s bytes\n' | LC_ALL=C sort
