# Sourced by the scripts that need an X display of their own and the window on it.
# SPDX-License-Identifier: MIT
# start_xvfb DIR: starts Xvfb on a free display (it picks the number and writes it to
# fd 3 once it takes clients), appends the server's pid to the caller's `pids` array so
# the caller stops it by that pid, waits up to 10 s, and exports DISPLAY.
start_xvfb() {
    local dir=$1
    Xvfb -displayfd 3 -screen 0 800x800x24 -nolisten tcp 3>"$dir/display" 2>"$dir/xvfb.log" &
    pids+=($!)
    for _ in $(seq 100); do [ -s "$dir/display" ] && break; sleep 0.1; done
    if [ ! -s "$dir/display" ]; then
        cat "$dir/xvfb.log" >&2
        echo "Xvfb reported no display within 10 s" >&2
        return 1
    fi
    DISPLAY=":$(head -n 1 "$dir/display")"
    export DISPLAY
}

# find_window SECONDS [PID]: prints the id of the window titled "Tessary" once it is
# there. Fails after SECONDS, or at once when PID, the program that should open it, ends.
find_window() {
    local deadline=$((SECONDS + $1)) id
    until id=$(xwininfo -root -tree | awk '/"Tessary": /{ print $1; exit }') && [ -n "$id" ]; do
        [ -z "${2:-}" ] || kill -0 "$2" 2>/dev/null || return 1
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
    echo "$id"
}

# settled_capture WINDOW FILE: captures the window into FILE (PNG) until two captures in
# a row are alike, so the picture is drawn and still. Fails after 50 tries.
settled_capture() {
    local i
    import -window "$1" -strip "$2" || return 1
    for i in $(seq 50); do
        sleep 0.1
        import -window "$1" -strip "$2.again.png" || return 1
        cmp -s "$2.again.png" "$2" && { rm -f "$2.again.png"; return 0; }
        mv "$2.again.png" "$2"
    done
    return 1
}
