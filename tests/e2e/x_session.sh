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
# A number that looked free can be taken by another session started at the same moment: its
# Xvfb then ends at once ("already active"), and this one moves on to the next number rather
# than share the other's display (where each would find and close the other's windows).
start_display() {  # first number, last number, log file
    local n
    display=
    for n in $(seq "$1" "$2"); do
        [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$3" 2>&1 &
        xvfb=$!
        for _ in $(seq 1 50); do
            kill -0 $xvfb 2>/dev/null || break
            [ -e "/tmp/.X11-unix/X$n" ] && { display=:$n; break; }
            sleep 0.1
        done
        # The socket can be the other server's: this one must still be running.
        if [ -n "$display" ] && sleep 0.2 && kill -0 $xvfb 2>/dev/null; then
            export DISPLAY=$display
            return 0
        fi
        display=
        kill $xvfb 2>/dev/null
        wait $xvfb 2>/dev/null
    done
    echo "no free display between :$1 and :$2" >&2
    return 1
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

# Where Wine keeps its own Windows programs (explorer.exe, cmd.exe) of a width.
wine_programs() {  # i686 or x86_64
    if [ "$1" = i686 ]; then echo /usr/lib/i386-linux-gnu/wine/i386-windows
    else echo /usr/lib/x86_64-linux-gnu/wine/x86_64-windows; fi
}

# The Wine session of a reused prefix stays up between runs, as a user's does: each run then
# starts only the program, not Wine's desktop and services too (which on a loaded machine
# miss Wine's own time limit for the desktop now and then: "The explorer process failed to
# start", and cost seconds a start otherwise). The desktop is started here with its output
# going nowhere: started by a run, it would inherit that run's output pipe and keep
# cmake/wine-run.sh waiting on it. Ended with "WINEPREFIX=prefix wineserver -k".
start_wine_session() {  # prefix, Wine's width (i686 or x86_64)
    local session=$1.session explorer
    [ -f "$session" ] && kill -0 "$(cat "$session")" 2>/dev/null && return
    explorer=$(wine_programs "$2")/explorer.exe
    mkdir -p "$1"
    WINEPREFIX=$1 wineserver -p >/dev/null 2>&1
    "$root/cmake/wine-run.sh" "$1" "$explorer" /desktop >/dev/null 2>&1 </dev/null &
    echo $! >"$session"
}
