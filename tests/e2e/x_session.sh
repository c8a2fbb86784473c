# Shared by the whole-program scripts (sourced, not run): counted checks, a private Xvfb, and
# waiting for windows, pictures and processes ($out: the sourcing script's folder for
# screenshots). The sourcing script prints its own closing count line
# from $passed and $failed.
passed=0
failed=0

pass() { passed=$((passed + 1)); echo "PASS $*"; }
fail() { failed=$((failed + 1)); echo "FAIL $*"; }
check() {  # description, then a command that must succeed
    local what=$1
    shift
    if "$@"; then pass "$what"; else fail "$what"; fi
}

# Starts Xvfb on the first free display number of the range and exports DISPLAY; xvfb holds
# its process. Scripts that may run at once take different ranges.
start_display() {  # first number, last number, log file
    local n
    display=
    for n in $(seq "$1" "$2"); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=:$n; break; fi
    done
    Xvfb "$display" -screen 0 1024x768x24 -nolisten tcp >"$3" 2>&1 &
    xvfb=$!
    for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X${display#:}" ] && break; sleep 0.1; done
    export DISPLAY=$display
}
stop_display() {
    kill "$xvfb" 2>/dev/null
    wait "$xvfb" 2>/dev/null
}

window_id() {  # title, seconds: the first window with that title, waited for
    local deadline=$((SECONDS + $2)) id
    while [ $SECONDS -lt $deadline ]; do
        # xwininfo, not xdotool: xdotool misses names stored as UTF8_STRING (SDL's boxes).
        id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\": (" | awk '{print $1; exit}')
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.25  # each look is a new X client: keep the server's queue short
    done
    return 1
}

same_picture() {  # window id, reference PNG: the client area equals it (1% per channel)
    local shot=$out/.shot.png
    import -window "$1" "$shot" 2>/dev/null || return 1
    local size
    size=$(identify -format '%wx%h' "$shot")
    local differing
    differing=$(compare -metric AE -fuzz 1% "$shot" \
        \( "$2" -crop "$size+0+0" +repage \) null: 2>&1)
    [ "$differing" = 0 ]
}

wait_exit() {  # pid, seconds: the exit code, or 124 after killing a process that hangs on
    local deadline=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null; do
        if [ $SECONDS -ge $deadline ]; then
            kill -9 "$1" 2>/dev/null
            wait "$1" 2>/dev/null
            return 124
        fi
        sleep 0.1
    done
    wait "$1"
}
