#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages named on the command line that are not installed yet.
# Run by the other scripts; runs apt-get only when something is missing. Elsewhere
# than on Debian it stops at once with the list; TESSARY_NO_APT=1 skips this step for
# those who have installed the equivalents themselves.
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
"${sudo[@]}" apt-get update -qq || { echo "deps.sh: apt-get update failed (no network, or no access to the package sources?)" >&2; exit 1; }
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    || { echo "deps.sh: could not install: ${missing[*]}" >&2; exit 1; }
