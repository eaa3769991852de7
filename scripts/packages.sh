# shellcheck shell=bash disable=SC2034  # the lists are read by the scripts that source this
# SPDX-License-Identifier: MIT
# The Debian packages each script needs; sourced, not run.
# BUILD_PACKAGES: compiler, CMake, OpenGL (Mesa) and GLUT (freeglut), Mesa's drivers.
# TEST_PACKAGES: GoogleTest, Google Benchmark, Clang with its sanitizer runtimes, and the
# X server and the X libraries the window tests drive it with.
BUILD_PACKAGES=(g++ cmake make libgl-dev libglut-dev libgl1-mesa-dri)
TEST_PACKAGES=(libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev
               xvfb libx11-dev libxtst-dev)
# HARNESS_PACKAGES: what the window harness (scripts/harness.sh) needs to be built in a
# build folder with the tests, and to run.
HARNESS_PACKAGES=(libgtest-dev libgmock-dev xvfb libx11-dev libxtst-dev)
# STYLE_PACKAGES: the formatter and the shell linter that scripts/style.sh runs.
STYLE_PACKAGES=(clang-format shellcheck)
# PACKAGE_PACKAGES: what CPack needs to make a .deb (dpkg-shlibdeps, file) and Debian's
# checkers for the package, the menu entry, the metainfo and the manual page; rsvg-convert
# to draw the icons again and compare.
PACKAGE_PACKAGES=(dpkg-dev file lintian desktop-file-utils appstream groff-base librsvg2-bin)
# CROSS_ARCHES: the Debian architectures scripts/cross.sh builds for.
# TARGET_PACKAGES: the libraries scripts/cross.sh ARCH takes from ARCH, installed as
# NAME:ARCH beside crossbuild-essential-ARCH. CROSS_PACKAGES: what it needs on this
# machine for the emulated tests: qemu-user, and the window tests' own packages.
CROSS_ARCHES=(arm64 armhf)
TARGET_PACKAGES=(libgl-dev libglut-dev libgl1-mesa-dri libgtest-dev libgmock-dev)
CROSS_PACKAGES=(qemu-user libgtest-dev libgmock-dev xvfb libx11-dev libxtst-dev)
# WEB_BUILD_PACKAGES: Debian's Emscripten, the node that runs its tools (and the step
# that makes the site, web/site.mjs), the acorn parser Emscripten needs, and rsvg-convert
# to draw the site's icons. WEB_TEST_PACKAGES: Chromium and Firefox ESR for the browser
# tests, WebKitWebDriver for WebKit (it brings WebKitGTK and its MiniBrowser), npm for the
# DevTools driver, ImageMagick to read the pictures, Xvfb for the desktop picture and for
# Firefox and WebKit. npm is left out where some npm already runs (a nodejs from elsewhere
# carries its own, which Debian's npm conflicts with).
WEB_BUILD_PACKAGES=(emscripten nodejs node-acorn cmake make librsvg2-bin)
WEB_TEST_PACKAGES=(chromium firefox-esr webkit2gtk-driver imagemagick xvfb)
command -v npm >/dev/null || WEB_TEST_PACKAGES+=(npm)
# WINDOWS_PACKAGES: what scripts/windows.sh needs: mingw-w64's posix compilers, Wine to
# run the Windows tests and program, NSIS for the installer, zip for the zip, icoutils
# for the icon, ImageMagick for the installer's pictures (BMPs made from the icon's PNGs),
# dpkg-dev for apt-get source (freeglut's source), GoogleTest's sources, and what the
# window tests need.
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine wine64 nsis zip icoutils imagemagick dpkg-dev
                  googletest libgtest-dev libgmock-dev xvfb libx11-dev libxtst-dev)
# RELEASE_PACKAGES: what scripts/release.sh needs beside the artefacts' own scripts: CMake
# to read the version and date as the build does, git for the source tarball, zip for the site, unzip and icoutils to read the artefacts'
# versions back. GnuPG for the signature is added when a key is named, and
# scripts/reproducible.sh adds diffoscope for a report of what differs.
RELEASE_PACKAGES=(cmake git zip unzip icoutils dpkg-dev)
# PIUPARTS_PACKAGES: Debian's install and purge tester for scripts/piuparts.sh, adequate,
# which it runs on the installed package, and dpkg-scanpackages to lend it the fresh
# systems' downloads as a local repository.
PIUPARTS_PACKAGES=(piuparts adequate dpkg-dev)
