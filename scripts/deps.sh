#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages named on the command line that are not installed yet.
# Run by the other scripts; runs apt-get only when something is missing. Elsewhere
# than on Debian it stops at once with the list; TESSARY_NO_APT=1 skips this step for
# those who have installed the equivalents themselves. Where dpkg knows other
# architectures (scripts/cross.sh), it keeps the libraries they share with this machine's
# at one version.
set -euo pipefail
[ "${TESSARY_NO_APT:-}" = 1 ] && exit 0

if ! command -v apt-get >/dev/null || ! command -v dpkg-query >/dev/null; then
    echo "deps.sh: this system has no apt-get. Install the equivalents of these Debian packages:" >&2
    echo "    $*" >&2
    echo "deps.sh: then run again with TESSARY_NO_APT=1." >&2
    exit 1
fi

missing=()
for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing missing Debian packages: ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "deps.sh: need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
# apt leaves out an index that fails its check (a mirror caught mid-sync) and goes on
# with the others: so do we, and the install below says what that leaves missing.
"${sudo[@]}" apt-get update -qq \
    || echo "deps.sh: apt-get update could not fetch or check every index (above); going on with those it could" >&2

# A library that is Multi-Arch: same has one version on every architecture dpkg knows.
# When the archive offers it at different versions for them (one architecture's index
# lags the others', or was left out above), apt wants the newest of each, finds no set
# that agrees and installs nothing. So each such library installed here is pinned, with
# its source's other packages, to the oldest of the architectures' newest versions: the
# one they all have. Never below what is installed: security fixes are not undone.
prefs=$(mktemp)
trap 'rm -f "$prefs"' EXIT
cat /etc/apt/preferences >"$prefs" 2>/dev/null || true
mapfile -t foreign < <(dpkg --print-foreign-architectures)
if [ ${#foreign[@]} -gt 0 ]; then
    declare -A candidate
    mapfile -t shared < <(dpkg-query -W -f='${Package} ${Architecture} ${Multi-Arch} ${Version} ${source:Package}\n' \
        | awk -v native="$(dpkg --print-architecture)" '$2 == native && $3 == "same" {print $1, $4, $5}')
    names=()
    for line in "${shared[@]}"; do
        names+=("${line%% *}" "${foreign[@]/#/${line%% *}:}")
    done
    while read -r name version; do
        candidate[$name]=$version
    done < <(apt-cache policy "${names[@]}" | awk '/^[^ ]/ {name = $1; sub(/:$/, "", name)} /Candidate:/ {print name, $2}')
    for line in "${shared[@]}"; do
        read -r pkg installed source <<<"$line"
        low=${candidate[$pkg]:-(none)}
        differ=
        for arch in "${foreign[@]}"; do
            version=${candidate[$pkg:$arch]:-(none)}
            if [ "$low" != "(none)" ] && [ "$version" != "(none)" ] && [ "$version" != "$low" ]; then
                differ=1
                dpkg --compare-versions "$version" ge "$low" || low=$version
            fi
        done
        if [ -n "$differ" ] && dpkg --compare-versions "$low" ge "$installed" \
            && ! grep -qxF "Package: src:$source:any" "$prefs"; then
            printf 'Package: src:%s:any\nPin: version %s\nPin-Priority: 1001\n\n' "$source" "$low" >>"$prefs"
        fi
    done
fi
"${sudo[@]}" apt-get -o Dir::Etc::Preferences="$prefs" install -y -qq --no-install-recommends "${missing[@]}" \
    || { echo "deps.sh: could not install: ${missing[*]}" >&2; exit 1; }
