# Sourced by the scripts that need an X display of their own.
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
