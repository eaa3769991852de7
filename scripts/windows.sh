#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds Tessary for 64-bit Windows on this machine and tests it under Wine:
#
#   scripts/windows.sh              build, package, run every test
#   scripts/windows.sh --no-tests   build and package only (scripts/release.sh)
#
# Installs what it needs (mingw-w64, Wine, NSIS, icoutils, ImageMagick). Builds freeglut from Debian's
# source package, and GoogleTest from /usr/src/googletest, once each, as static Windows
# libraries in build-windows/deps/. Builds build-windows/tessary.exe through
# windows/toolchain.cmake, fails if it needs a DLL that Windows lacks, and makes
# build-windows/tessary-<version>-win64.zip and, with CPack, tessary-<version>-win64-setup.exe.
# Then runs the unit tests under Wine; the window tests, built for this machine in
# build-windows/window-tests/, against tessary.exe under Wine on private Xvfb servers; and
# the installer's round trip over an older version (windows/installer-test.sh).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
tests=1
case ${1:-} in
    --no-tests) tests=0 ;;
    "") ;;
    *) fail "usage: scripts/windows.sh [--no-tests]" ;;
esac
# The folder and the libraries' prefix of the windows preset.
build="build-windows"
deps=$PWD/$build/deps
deps "${BUILD_PACKAGES[@]}" "${WINDOWS_PACKAGES[@]}"

# The same tree gives the same exe, zip and installer, whoever builds them, where and
# when (lib.sh's reproducible); paths are mapped away (CMakeLists.txt).
reproducible
toolchain=(--toolchain "$PWD/windows/toolchain.cmake" -DTESSARY_WINDOWS_PREFIX="$deps")

# build_dep NAME SOURCE [CMAKE OPTION...]: builds a static library for Windows and
# installs it into build-windows/deps/, with no path of this machine in its objects.
build_dep() {
    local name=$1 src=$2
    shift 2
    echo "windows.sh: building $name for Windows"
    cmake -S "$src" -B "$build/$name" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_SHARED_LIBS=OFF \
        -DCMAKE_C_FLAGS="-ffile-prefix-map=$src=$name" -DCMAKE_CXX_FLAGS="-ffile-prefix-map=$src=$name" \
        "$@" >"$build/$name.log" 2>&1 \
        || fail "could not configure $name for Windows; see $build/$name.log"
    cmake --build "$build/$name" -j"$(nproc)" >>"$build/$name.log" 2>&1 \
        || fail "could not build $name for Windows; see $build/$name.log"
    cmake --install "$build/$name" >>"$build/$name.log" 2>&1 || fail "could not install $name into $deps"
}

# freeglut's source from Debian's archive (as GLUT: GL/glut.h and libglut.a, which
# FindGLUT looks for), from the mirror this machine's apt already uses, through a source
# list of our own: the machine's apt sources stay as they are. The newest version that
# the mirror delivers, of this release or of oldstable: a mirror may list a source
# package whose files it does not hold (here trixie's freeglut 3.4.0-4 answered 404,
# bookworm's 3.4.0-1 came); any 3.4 builds the same for Windows.
if [ ! -f "$deps/lib/libglut.a" ]; then
    apt=$PWD/$build/apt
    mkdir -p "$apt/lists/partial" "$apt/cache/archives/partial" "$apt/parts" "$build/src"
    # shellcheck source=/dev/null
    codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
    mirror=$(apt-cache policy | awk -v suite="$codename/main" '$3 == suite && $5 == "Packages" { print $2; exit }')
    [ -n "$mirror" ] || fail "apt uses no Debian mirror for $codename main (see apt-cache policy)"
    keyring=
    for file in /usr/share/keyrings/debian-archive-keyring.{pgp,gpg}; do [ -f "$file" ] && keyring=$file && break; done
    for suite in "$codename" oldstable; do
        echo "deb-src ${keyring:+[signed-by=$keyring] }$mirror $suite main"
    done >"$apt/sources.list"
    private=(-o Dir::Etc::SourceList="$apt/sources.list" -o Dir::Etc::SourceParts="$apt/parts"
             -o Dir::State::Lists="$apt/lists" -o Dir::Cache="$apt/cache" -o APT::Sandbox::User=root)
    apt-get "${private[@]}" update -qq || fail "apt-get update of the source list $apt/sources.list failed"
    fetched=
    for version in $(apt-cache "${private[@]}" showsrc freeglut | sed -n 's/^Version: //p' | sort -ruV); do
        echo "windows.sh: fetching freeglut $version's source from $mirror"
        rm -rf "$build/src"/freeglut*
        (cd "$build/src" && apt-get "${private[@]}" source -qq "freeglut=$version" >>../freeglut-source.log 2>&1) \
            && fetched=$version && break
    done
    [ -n "$fetched" ] || fail "apt-get source freeglut failed for every version; see $build/freeglut-source.log"
    src=$(echo "$PWD/$build/src"/freeglut-*/)
    [ -d "$src" ] || fail "apt-get source freeglut unpacked nothing"
    build_dep freeglut "${src%/}" -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON \
        -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF -DFREEGLUT_REPLACE_GLUT=ON
fi
# GoogleTest for the unit tests, from Debian's own sources of the installed version.
if [ "$tests" = 1 ] && [ ! -f "$deps/lib/libgtest.a" ]; then
    build_dep googletest /usr/src/googletest -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=OFF
fi

with_tests=ON
[ "$tests" = 1 ] || with_tests=OFF
configure windows -DTESSARY_TESTS="$with_tests"
build "$build"
exe=$build/tessary.exe
headers=$(x86_64-w64-mingw32-objdump -p "$exe") || fail "objdump cannot read $exe"
if ! grep -q 'file format pei-x86-64' <<<"$headers" || ! grep -Eq '^Subsystem.*\(Windows GUI\)' <<<"$headers"; then
    fail "$exe is not a 64-bit Windows GUI program"
fi
# Only DLLs that every 64-bit Windows has: nothing of mingw-w64's or freeglut's beside it.
awk '/DLL Name:/ { print tolower($3) }' <<<"$headers" | while read -r dll; do
    case $dll in
        kernel32.dll | user32.dll | gdi32.dll | opengl32.dll | winmm.dll | advapi32.dll | msvcrt.dll) ;;
        *) fail "$exe needs $dll, which Windows does not have" ;;
    esac
done
# The icon freeglut gives its window, and Explorer and the shortcut show, at every size.
wrestool -x --type=group_icon --name=GLUT_ICON -o "$build/GLUT_ICON.ico" "$exe" || fail "$exe has no icon GLUT_ICON"
sizes=$(icotool -l "$build/GLUT_ICON.ico" | sed -n 's/.*--width=\([0-9]*\) .*/\1/p' | tr '\n' ' ')
[ "$sizes" = "16 32 48 256 " ] || fail "$exe has no icon GLUT_ICON of 16, 32, 48 and 256 px (it has: $sizes)"
wrestool -l --type=version "$exe" | grep -q type=version || fail "$exe has no version information"

# The installer's pictures as NSIS shows them unstretched: uncompressed 24-bit BMPs with
# the Windows 3 header (40 bytes), of the sizes of the welcome page's side and the header.
for picture in side:164:314 header:150:57; do
    IFS=: read -r name width height <<<"$picture"
    bmp=$build/windows/installer-$name.bmp
    fields=$({ head -c2 "$bmp" && echo && od -An -tu4 -j14 -N12 "$bmp" && od -An -tu2 -j28 -N2 "$bmp" \
        && od -An -tu4 -j30 -N4 "$bmp"; } | xargs) || true
    [ "$fields" = "BM 40 $width $height 24 0" ] || fail "$bmp is not an uncompressed 24-bit BMP of" \
        "$width x $height (magic, header size, width, height, bits, compression: $fields)"
done

version=$(release_version)
rm -rf "$build"/tessary-*-win64* "$build/zip"
(cd "$build" && cpack -G NSIS >/dev/null) || fail "cpack could not make the installer"
# The zip, of the files the installer holds, by lib.sh's zip_tree: CPack's would follow
# the order the file system lists them in.
cmake --install "$build" --prefix "$PWD/$build/zip" >/dev/null || fail "could not install into $build/zip/ for the zip"
zip_tree "$build/zip" "$build/tessary-$version-win64.zip"
for package in "$build/tessary-$version-win64.zip" "$build/tessary-$version-win64-setup.exe"; do
    [ -f "$package" ] || fail "cpack made no $package"
done
[ "$tests" = 1 ] || { echo "windows.sh: built $exe and the packages"; exit 0; }

source windows/wine.sh
pids=()
cleanup() {
    local i
    wine_stop
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do stop_pid "${pids[i]}"; done
}
trap cleanup EXIT
wine_start || fail "could not make the Wine prefix $WINEPREFIX"
ctest --test-dir "$build" -L unit --no-tests=error --output-on-failure || fail "unit tests under Wine failed"
# Wine's desktop lives on the display of the first program that needs one, for as long as
# its server does; the unit tests' server, kept, would leave every window test a desktop
# on no display (CreateDC fails, or no window is made). So each window test's program
# starts a server of its own, on its own Xvfb; the last one is ended below.
wine_stop

# The window tests, built for this machine, start tessary.exe under Wine on Xvfb servers
# of their own.
window=$build/window-tests
configure window-tests -B "$window" -DTESSARY_WINDOW_PROGRAM="$PWD/$exe" \
    -DTESSARY_WINDOW_LAUNCHER="$(<"$build/window-launcher.txt")"
build "$window" window_test window_keys_test soak_test
ctest --test-dir "$window" -L window --no-tests=error --output-on-failure || fail "window tests of tessary.exe under Wine failed"
wineserver -k 2>/dev/null || true

# An earlier version's installer, from the same build, to install over.
(cd "$build" && cpack -G NSIS -D CPACK_PACKAGE_VERSION=0.9.0 -B "$PWD/older" >/dev/null) \
    || fail "cpack could not make the older installer"
windows/installer-test.sh "$build/tessary-$version-win64-setup.exe" "$build/older/tessary-0.9.0-win64-setup.exe" \
    || fail "the installer's round trip under Wine failed"
echo "windows.sh: passed; $build/tessary-$version-win64.zip and $build/tessary-$version-win64-setup.exe"
