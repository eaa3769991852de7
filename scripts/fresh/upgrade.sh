#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# An upgrade from one release's package to the next, made as a user makes it, on a new
# machine; run inside a fresh system by
#
#   scripts/fresh-install.sh --with OLD.deb --with NEW.deb SUITE \
#       scripts/fresh/upgrade.sh /root/OLD.deb /root/NEW.deb
#
# Installs OLD with apt-get, then NEW over it, and requires that NEW's version is the one
# installed, that every file of NEW is on disk and none that only OLD had, that the menu
# entry and its icon are there, and that AppStream lists both releases, NEW's first. Then
# purges the package and requires that none of its files, links or own folders are left.
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
[ $# -eq 2 ] && [ -f "$1" ] && [ -f "$2" ] || fail "usage: scripts/fresh/upgrade.sh OLD.deb NEW.deb"
old=$(realpath "$1")
new=$(realpath "$2")
app=invalid.tessary.tessary
export DEBIAN_FRONTEND=noninteractive

# A package's version, and the release it is in AppStream's terms: no epoch, no revision.
version() { dpkg-deb -f "$1" Version; }
release() { local v=${1#*:}; echo "${v%-*}"; }
installed() { dpkg-query -W -f '${Version}' tessary 2>/dev/null || true; }
contents() { dpkg-deb --fsys-tarfile "$1" | tar -t | sed -n 's,^\./\(.*[^/]\)$,/\1,p' | sort; }

# The catalogue's reader, before the package, as a software centre would be there already.
deps appstream

for deb in "$old" "$new"; do
    apt-get install -y -qq "$deb" >/dev/null || fail "apt-get install $deb failed"
    [ "$(installed)" = "$(version "$deb")" ] \
        || fail "after apt-get install $deb, dpkg has tessary '$(installed)', not $(version "$deb")"
    echo "upgrade.sh: apt-get install ${deb##*/} gave tessary $(installed)"
done

# Files: NEW's all there, OLD's own gone (dpkg's upgrade, not an install beside it).
while read -r file; do
    [ -e "$file" ] || [ -L "$file" ] || fail "after the upgrade $file, of ${new##*/}, is missing"
done < <(contents "$new")
while read -r file; do
    [ ! -e "$file" ] && [ ! -L "$file" ] || fail "after the upgrade $file, only in ${old##*/}, is still there"
done < <(comm -23 <(contents "$old") <(contents "$new"))

# The menu entry, and the icon it names in the scalable size and the menus' own 48 x 48.
desktop=/usr/share/applications/$app.desktop
[ -f "$desktop" ] || fail "no menu entry $desktop after the upgrade"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for file in "scalable/apps/$icon.svg" "48x48/apps/$icon.png"; do
    [ -n "$icon" ] && [ -f "/usr/share/icons/hicolor/$file" ] \
        || fail "the menu entry's icon '$icon' is not at /usr/share/icons/hicolor/$file"
done
echo "upgrade.sh: every file of ${new##*/} is there, with the menu entry and its icon '$icon'"

# AppStream's view: the releases of the installed metainfo, newest first.
appstreamcli refresh-cache --force >/dev/null || fail "appstreamcli refresh-cache failed"
dump=$(appstreamcli dump "$app") || fail "AppStream does not find $app after the upgrade"
mapfile -t releases < <(grep -o '<release [^>]*>' <<<"$dump" | sed -n 's/.* version="\([^"]*\)".*/\1/p')
echo "upgrade.sh: AppStream lists the releases: ${releases[*]}"
[ "${releases[0]:-}" = "$(release "$(version "$new")")" ] \
    || fail "AppStream's newest release is '${releases[0]:-}', not ${new##*/}'s $(release "$(version "$new")")"
printf '%s\n' "${releases[@]:1}" | grep -qxF "$(release "$(version "$old")")" \
    || fail "AppStream lists no release $(release "$(version "$old")") (${old##*/}'s) after ${releases[0]}"
for ((i = 1; i < ${#releases[@]}; i++)); do
    dpkg --compare-versions "${releases[i - 1]}" gt "${releases[i]}" \
        || fail "AppStream lists release ${releases[i - 1]} before ${releases[i]}: not newest first"
done

# Purge: none of the package's files or links, nor the folders that only it has.
dpkg -L tessary >/tmp/files
mapfile -t dirs < <(grep -vx /. /tmp/files | while read -r path; do [ ! -d "$path" ] || [ -L "$path" ] || echo "$path"; done)
dpkg-query -S "${dirs[@]}" | sed -n 's/^tessary: //p' >/tmp/own-dirs || fail "dpkg-query -S does not know tessary's folders"
apt-get purge -y -qq tessary >/dev/null || fail "apt-get purge tessary failed"
[ -z "$(installed)" ] || fail "after apt-get purge, dpkg still knows tessary $(installed)"
while read -r path; do
    [ -d "$path" ] && [ ! -L "$path" ] && ! grep -qxF "$path" /tmp/own-dirs && continue
    [ ! -e "$path" ] && [ ! -L "$path" ] || fail "apt-get purge left $path behind"
done </tmp/files
echo "upgrade.sh: apt-get purge left none of the $(wc -l </tmp/files) paths of dpkg -L tessary" \
    "($(wc -l </tmp/own-dirs) of them its own folders)"
