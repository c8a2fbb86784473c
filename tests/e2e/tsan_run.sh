#!/usr/bin/env bash
# The portable program built with ThreadSanitizer, run whole inside a private Xvfb: a whole
# solve while the window is resized, moved, covered and uncovered (so the window thread
# paints while the solver thread moves disks), then closes at random moments. Every run must
# end with exit code 0 and no ThreadSanitizer report (halt_on_error: the first one ends it).
# Usage: tests/e2e/tsan_run.sh [build folder, default build/tsan]. Logs go to build/e2e/tsan/.
# The last line reads "e2e tsan: N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:-$root/build/tsan}
out=$root/build/e2e/tsan
closes=${HANOI_TSAN_CLOSES:-8}  # closes at random moments after the solve
rm -rf "$out"
mkdir -p "$out"
source "$root/tests/e2e/x_session.sh"

program=$build/hanoi
close_tool=$build/tests/e2e/x11_close
for tool in "$program" "$close_tool"; do
    [ -x "$tool" ] || { echo "missing $tool (build hanoi and x11_close in $build)"; exit 1; }
done

# A range of its own: this script runs beside the other whole-program runs.
start_display 200 240 "$out/xvfb.log"
cover=
cleanup() {
    [ -n "$cover" ] && kill "$cover" 2>/dev/null
    stop_display
}
trap cleanup EXIT

export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:exitcode=66"
# Older TSan run-times cannot map their shadow memory under high address-space randomisation.
run_tsan() { setarch "$(uname -m)" -R "$program"; }
reported() { grep -qE '(WARNING|ERROR): ThreadSanitizer' "$1"; }
traced() { grep -cE "^[0-9.]+ $2( |\$)" "$1" 2>/dev/null; }  # trace, "Call[ detail]": lines

# Closes the program's window and sets `outcome`: "exit C", or "report (exit C)" when
# ThreadSanitizer reported (its first report is printed).
close_program() {  # pid, window, log
    "$close_tool" "$2"
    wait_exit "$1" 30
    local code=$?
    outcome="exit $code"
    if reported "$3"; then
        outcome="report ($outcome)"
        grep -m 1 -A 30 'ThreadSanitizer' "$3"
    fi
}

# --- a whole solve, disturbed --------------------------------------------------------------
# The trace counts the moves (one pause of 250 ms each) and shows the sizes painted.
trace=$out/solve.trace
paints_at() { grep -c "CreateCompatibleBitmap dc=.* size=$1 " "$trace"; }
# Resizes the window and waits (5 s at most) for a paint at the new size: a slow paint would
# otherwise take two resizes in one go and never show the first size.
resize() {  # width, height
    local before
    before=$(paints_at "$1x$2")
    xdotool windowsize "$window" "$1" "$2"
    local deadline=$((SECONDS + 5))
    while [ "$(paints_at "$1x$2")" -le "$before" ] && [ $SECONDS -lt $deadline ]; do
        sleep 0.1
    done
}
HANOI_PLATFORM_TRACE=$trace run_tsan >"$out/solve.log" 2>&1 &
pid=$!
if window=$(window_id "Towers of Hanoi" 60); then
    xdotool windowmove "$window" 0 0
    round=0
    deadline=$((SECONDS + 120))
    while [ "$(traced "$trace" "Sleep 250")" -lt 127 ] && kill -0 $pid 2>/dev/null &&
        [ $SECONDS -lt $deadline ]; do
        case $((round % 4)) in
            0) resize 500 300 ;;
            1) resize 812 473 ;;
            2)  # a window over part of the scene: taking it away exposes what it hid
                xmessage -geometry 400x250+60+80 -timeout 5 cover >/dev/null 2>&1 &
                cover=$! ;;
            3) kill "$cover" 2>/dev/null; wait "$cover" 2>/dev/null; cover= ;;
        esac
        round=$((round + 1))
        sleep 0.3
    done
    sleep 0.5  # the last pause ends and the solver thread with it
    moves=$(traced "$trace" "Sleep 250")
    check "the solve ran to its end under ThreadSanitizer: 127 moves ($moves)" test "$moves" = 127
    # The disturbances reached the paint: the scene was composed at both client sizes.
    for size in 500x300 812x473; do
        check "paints at $size while the solver ran" test "$(paints_at $size)" -gt 1
    done
    echo "paints: $(traced "$trace" EndPaint) for $moves moves in $round disturbances"
    close_program $pid "$window" "$out/solve.log"
    check "close after the whole solve: exit code 0, no report ($outcome)" test "$outcome" = "exit 0"
else
    fail "window titled Towers of Hanoi within 60 s"
    kill -9 $pid 2>/dev/null
    reported "$out/solve.log" && grep -m 1 -A 30 'ThreadSanitizer' "$out/solve.log"
fi

# --- closes at random moments: at the first picture, while filling, mid-move, mid-pause --------
# Without the trace: its lock would order the two threads' calls more than the program does.
bad=0
for run in $(seq 1 "$closes"); do
    log=$out/close_$run.log
    run_tsan >"$log" 2>&1 &
    pid=$!
    if ! window=$(window_id "Towers of Hanoi" 60); then
        fail "close $run: window within 60 s (log: $log)"
        kill -9 $pid 2>/dev/null
        continue
    fi
    sleep "$((RANDOM % 3)).$(printf '%03d' $((RANDOM % 1000)))"
    close_program $pid "$window" "$log"
    if [ "$outcome" != "exit 0" ]; then
        bad=$((bad + 1))
        echo "close $run: $outcome (log: $log)"
    fi
done
check "closes at random moments: $closes runs, $bad bad" test $bad -eq 0

echo "e2e tsan: $passed passed, $failed failed"
[ $failed -eq 0 ]
