#!/usr/bin/env bash
# Installs the Debian packages named on the command line that are not installed yet.
# Sourced by the other scripts; runs apt-get only when something is missing.
set -euo pipefail

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
"${sudo[@]}" apt-get update -qq || { echo "deps.sh: apt-get update failed" >&2; exit 1; }
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" \
    || { echo "deps.sh: could not install: ${missing[*]}" >&2; exit 1; }
