# shellcheck shell=bash
# SPDX-License-Identifier: MIT
# Sourced by the scripts that run Windows programs: a Wine prefix of the project's own
# under build-windows/, and the one wineserver that serves it, started and stopped by its pid.
export WINEPREFIX=$PWD/build-windows/wine WINEARCH=win64 WINEDEBUG=-all
# Nothing here needs .NET or a browser engine; without these Wine would offer to download them.
export WINEDLLOVERRIDES="mscoree,mshtml="

# wine_start: starts a wineserver that stays (-p) until wine_stop, appending its pid to
# the caller's `pids` array; each program then starts in well under a second instead of
# about three. Makes the prefix the first time.
wine_start() {
    mkdir -p "$WINEPREFIX"
    wineserver -f -p </dev/null >/dev/null 2>&1 &
    pids+=($!)
    wine_server=$!
    [ -f "$WINEPREFIX/system.reg" ] || echo "windows: making the Wine prefix $WINEPREFIX"
    # Wine's own services start with the first program and live as long as the server.
    # Started here, they hold /dev/null open instead of the output of whatever program
    # came first, which ctest would otherwise wait on for ever.
    DISPLAY='' wine wineboot --init </dev/null >/dev/null 2>&1
}

# wine_stop: ends every program of this prefix and its wineserver, and waits for it.
wine_stop() {
    [ -n "${wine_server:-}" ] || return 0
    wineserver -k 2>/dev/null || true
    wait "$wine_server" 2>/dev/null || true
    wine_server=
}
