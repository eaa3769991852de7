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
    wineserver -f -p &
    pids+=($!)
    wine_server=$!
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        echo "windows: making the Wine prefix $WINEPREFIX"
        DISPLAY='' wine wineboot --init >/dev/null 2>&1 || return 1
    fi
}

# wine_stop: ends every program of this prefix and its wineserver, and waits for it.
wine_stop() {
    [ -n "${wine_server:-}" ] || return 0
    wineserver -k 2>/dev/null || true
    wait "$wine_server" 2>/dev/null || true
    wine_server=
}
