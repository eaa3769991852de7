#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# A user's upgrade, under Wine, in a Wine prefix of its own made anew (a Windows on which
# Tessary was never installed):
#
#   windows/installer-test.sh NEW_SETUP OLD_SETUP
#
# NEW_SETUP is tessary-V-win64-setup.exe, with the zip of the same build,
# tessary-V-win64.zip, beside it; OLD_SETUP is an earlier version's
# tessary-U-win64-setup.exe. V and U come from the names, not from this tree, which may be
# of another release. Installs OLD_SETUP silently, then NEW_SETUP over it, then NEW_SETUP
# again; after each, Program Files\Tessary holds the program, the licence, the README and
# one uninstaller, the Start menu one Tessary shortcut to the program, and Windows' list
# of programs one Tessary, of that version. After each NEW_SETUP, the installed
# tessary.exe says V in its version information and is the zip's tessary.exe, byte for
# byte. Starts the program through the Start menu's shortcut, as a user does, under the
# first window test (which checks its window and picture), built for this machine in
# build-installer-test/. Uninstalls silently and requires every file, shortcut and
# registry key gone. The Wine prefix is build-installer-test/wine/.
set -euo pipefail
source "$(dirname "$0")/../scripts/lib.sh"
[ $# -eq 2 ] || fail "usage: windows/installer-test.sh NEW_SETUP OLD_SETUP"
# lib.sh has moved to the top of the tree; the paths given are the caller's.
new=$(cd "$OLDPWD" && realpath -e -- "$1") || fail "no $1"
old=$(cd "$OLDPWD" && realpath -e -- "$2") || fail "no $2"

# version_of SETUP: V, from the name tessary-V-win64-setup.exe.
version_of() {
    [[ $(basename "$1") =~ ^tessary-(.+)-win64-setup\.exe$ ]] || fail "$1 is not named tessary-VERSION-win64-setup.exe"
    echo "${BASH_REMATCH[1]}"
}
new_version=$(version_of "$new")
old_version=$(version_of "$old")
zip=${new%-setup.exe}.zip
[ -f "$zip" ] || fail "no $zip beside $new: the installed program is compared with the zip's"

deps "${BUILD_PACKAGES[@]}" "${HARNESS_PACKAGES[@]}" wine wine64 icoutils unzip
source windows/wine.sh
build="build-installer-test"
export WINEPREFIX=$PWD/$build/wine
rm -rf "$WINEPREFIX"
dir="$WINEPREFIX/drive_c/Program Files/Tessary"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Tessary"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tessary'

# The first window test, built for this machine, starting the program through its
# shortcut with windows/start-shortcut.sh, under Wine (and so with Wine's window frame).
echo "installer-test.sh: building the window test in $build/"
configure window-tests -B "$build" -DTESSARY_WINDOW_PROGRAM="$menu/Tessary.lnk" \
    -DTESSARY_WINDOW_LAUNCHER="$PWD/windows/start-shortcut.sh" -DTESSARY_WINDOW_WINE=ON
build "$build" window_test >/dev/null

pids=()
trap 'wine_stop' EXIT
wine_start || fail "could not make the Wine prefix $WINEPREFIX"

# Silent, with no display: an installer that opened a window would fail here.
install() {
    echo "installer-test.sh: installing $(basename "$1") silently"
    DISPLAY='' wine "$1" /S </dev/null >/dev/null 2>&1 || fail "$(basename "$1") /S failed"
}

# listing DIR: the names in DIR on one line.
listing() { find "$1" -mindepth 1 -maxdepth 1 -printf '%f\n' 2>&1 | LC_ALL=C sort | tr '\n' ' '; }

# programs: the names in Windows' list of programs, from both registry views of the
# machine's and from the user's.
programs() {
    local root
    for root in 'HKLM\Software' 'HKLM\Software\Wow6432Node' 'HKCU\Software'; do
        wine reg query "$root\Microsoft\Windows\CurrentVersion\Uninstall" /s 2>/dev/null || true
    done | tr -d '\r' | sed -n 's/^ *DisplayName *REG_SZ *//p'
}

# installed VERSION: one program, licence, README and uninstaller; one shortcut, to the
# program; one Tessary in Windows' list of programs, of that version.
installed() {
    local shown
    [ "$(listing "$dir")" = "LICENSE.txt README.txt Uninstall.exe tessary.exe " ] \
        || fail "Program Files\\Tessary holds: $(listing "$dir")"
    [ "$(listing "$menu")" = "Tessary.lnk Uninstall.lnk " ] \
        || fail "the Start menu's Tessary folder holds: $(listing "$menu")"
    # A shell link keeps its target's path, in UTF-16 or in the ANSI code page.
    tr -d '\0' <"$menu/Tessary.lnk" | grep -qaF 'C:\Program Files\Tessary\tessary.exe' \
        || fail "the shortcut Tessary does not lead to C:\\Program Files\\Tessary\\tessary.exe"
    [ "$(programs | grep -ci tessary)" = 1 ] \
        || fail "Windows' list of programs holds, for Tessary: $(programs | grep -i tessary | xargs)"
    shown=$({ wine reg query "$key" /v DisplayVersion 2>/dev/null || true; } | tr -d '\r' \
        | awk '$1 == "DisplayVersion" { print $3 }')
    [ "$shown" = "$1" ] || fail "Windows' list of programs has no Tessary $1 (its Tessary: ${shown:-none})"
    echo "installer-test.sh: installed: Tessary $1, one program, one shortcut, one uninstaller"
}

# new_program: the installed tessary.exe says NEW_SETUP's version, as Explorer's
# properties show it, and is the zip's own.
new_program() {
    local name
    wrestool -x --raw --type=version "$dir/tessary.exe" >"$build/version.res" \
        || fail "the installed tessary.exe has no version information"
    for name in FileVersion ProductVersion; do
        [ "$(exe_version "$build/version.res" "$name")" = "$new_version" ] \
            || fail "the installed tessary.exe's $name is not $new_version"
    done
    unzip -p "$zip" "$(basename "$zip" .zip)/tessary.exe" | cmp -s - "$dir/tessary.exe" \
        || fail "the installed tessary.exe is not the one in $(basename "$zip")"
}

install "$old"
installed "$old_version"
install "$new"
installed "$new_version"
new_program
install "$new"
installed "$new_version"
new_program

echo "installer-test.sh: starting the installed program through its Start-menu shortcut"
# Wine's desktop lives as long as its server, on the display of the first program that
# needed it: the installers' none. The program gets a server of its own, for the
# test's display, which ends a few seconds after the program.
wine_stop
"$build/tests/window_test" || fail "the Start menu's Tessary did not show the program's window and picture"
timeout 60 wineserver -w || fail "Wine's programs did not end within 60 s of the window test"

# The uninstaller copies itself away and runs from there, so it ends before its copy
# does: the server, started for it alone, ends once every program has (wineserver -w).
echo "installer-test.sh: uninstalling silently"
wine "$dir/Uninstall.exe" /S </dev/null >/dev/null 2>&1 || fail "Uninstall.exe /S failed"
timeout 60 wineserver -w || fail "the uninstaller did not end within 60 s"
wine_start || fail "could not start Wine again"
[ ! -e "$dir" ] || fail "the uninstaller left in Program Files\\Tessary: $(listing "$dir")"
[ ! -e "$menu" ] || fail "the uninstaller left the Start menu's Tessary folder"
[ "$(programs | grep -ci tessary)" = 0 ] || fail "the uninstaller left Tessary in Windows' list of programs"
! wine reg query "$key" >/dev/null 2>&1 || fail "the uninstaller left its key $key"
! wine reg query 'HKLM\Software\The Tessary developers' >/dev/null 2>&1 || fail "the uninstaller left its registry key"
echo "installer-test.sh: passed: Tessary $new_version installed over $old_version and over itself," \
    "started from the Start menu, uninstalled without a trace"
