#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The installer's round trip under Wine, in a Wine prefix of its own made anew (a
# Windows on which Tessary was never installed):
#
#   windows/installer-test.sh SETUP OLDER_SETUP WINDOW_TEST
#
# Installs OLDER_SETUP (an earlier version) silently, then SETUP over it, then SETUP
# again; after each, Program Files\Tessary holds the program, the licence, the README
# and one uninstaller, the Start menu one Tessary shortcut to the program, and Windows'
# list of programs one Tessary of that version. Starts the installed program through
# WINDOW_TEST (the window tests' first binary), which checks its window and picture.
# Uninstalls silently and requires every file, shortcut and registry key gone.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
[ $# -eq 3 ] || fail "usage: windows/installer-test.sh SETUP OLDER_SETUP WINDOW_TEST"
for file in "$@"; do [ -f "$file" ] || fail "no $file"; done
setup=$(realpath "$1")
older=$(realpath "$2")
window_test=$(realpath "$3")
source windows/wine.sh
export WINEPREFIX=$PWD/build-windows/wine-installer
rm -rf "$WINEPREFIX"
pids=()
trap 'wine_stop' EXIT
wine_start || fail "could not make the Wine prefix $WINEPREFIX"

dir="$WINEPREFIX/drive_c/Program Files/Tessary"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessary"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessary'

# Silent, with no display: an installer that opened a window would fail here.
install() {
    echo "installer-test.sh: installing $(basename "$1") silently"
    DISPLAY='' wine "$1" /S </dev/null >/dev/null 2>&1 || fail "$(basename "$1") /S failed"
}

# listing DIR: the names in DIR on one line.
listing() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' 2>&1 | LC_ALL=C sort | tr '\n' ' '; }

# installed VERSION: one program, licence, README and uninstaller; one shortcut, to the
# program; one entry of that version in Windows' list of programs.
installed() {
    [ "$(listing "$dir")" = "LICENSE.txt README.txt Uninstall.exe tessary.exe " ] \
        || fail "Program Files\\Tessary holds: $(listing "$dir")"
    [ "$(listing "$menu")" = "Tessary.lnk Uninstall.lnk " ] \
        || fail "the Start menu's Tessary folder holds: $(listing "$menu")"
    # A shell link keeps its target's path, in UTF-16 or in the ANSI code page.
    tr -d '\0' <"$menu/Tessary.lnk" | grep -qaF 'C:\Program Files\Tessary\tessary.exe' \
        || fail "the shortcut Tessary does not lead to C:\\Program Files\\Tessary\\tessary.exe"
    wine reg query "$key" /v DisplayVersion 2>/dev/null | grep -q "REG_SZ *$1" \
        || fail "Windows' list of programs has no Tessary $1"
    [ "$(wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall' 2>/dev/null | grep -ci tessary)" = 1 ] \
        || fail "Windows' list of programs holds Tessary more than once"
    echo "installer-test.sh: installed: Tessary $1, one program, one shortcut, one uninstaller"
}

version=$(release_version)
install "$older"
installed "$(basename "$older" | sed 's/^tessary-\(.*\)-win64-setup.exe$/\1/')"
install "$setup"
installed "$version"
install "$setup"
installed "$version"
cmp -s "$dir/tessary.exe" build-windows/tessary.exe || fail "the installed tessary.exe is not the one built"

echo "installer-test.sh: starting the installed program"
# Wine's desktop lives as long as its server, on the display of the first program that
# needed it: the installers' none. The program gets a server of its own, for the
# test's display.
wine_stop
TESSARY_WINDOW_PROGRAM="$dir/tessary.exe" "$window_test" || fail "the installed program did not show its window and picture"

# The uninstaller copies itself away and runs from there, so it ends before its copy
# does: the server, started for it alone, ends once every program has (wineserver -w).
echo "installer-test.sh: uninstalling silently"
wineserver -w
wine "$dir/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "Uninstall.exe /S failed"
timeout 60 wineserver -w || fail "the uninstaller did not end within 60 s"
wine_start || fail "could not start Wine again"
[ ! -e "$dir" ] || fail "the uninstaller left in Program Files\\Tessary: $(listing "$dir")"
[ ! -e "$menu" ] || fail "the uninstaller left the Start menu's Tessary folder"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left Tessary in Windows' list of programs"
! wine reg query 'HKLM\Software\The Tessary developers' >/dev/null 2>&1 || fail "the uninstaller left its registry key"
echo "installer-test.sh: passed: installed over an older version and over itself, started, uninstalled without a trace"
