#!/usr/bin/env bash
# Windows build under Wine: started minimised ("start /min", a show state handed over in
# the start-up information), the program still opens its window in the normal state, and
# ends with exit code 0 when closed. Uses the prefix of the other whole-program runs, so it
# runs after them, not beside them. Logs go to build/e2e/show_state/.
# The last line reads "e2e show state: N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/e2e/show_state
rm -rf "$out"
mkdir -p "$out"
source "$root/tests/e2e/x_session.sh"

windows_build=$root/$("$root/cmake/windows-build.sh") || exit 1
prefix=$windows_build/wineprefix
close_tool=$root/build/portable/tests/e2e/x11_close
[ -x "$close_tool" ] || { echo "missing $close_tool (build the portable host first)"; exit 1; }

start_display 241 260 "$out/xvfb.log"
cleanup() {
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
    stop_display
}
trap cleanup EXIT
WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1  # a server left from another display

for switch in /min; do
    HANOI_WINE_START=$switch "$root/cmake/wine-run.sh" "$prefix" "$windows_build/hanoi.exe" \
        >"$out/run.log" 2>&1 &
    pid=$!
    if window=$(window_id "Towers of Hanoi" 60); then
        sleep 1  # the first paint and the solver's first move
        state=$("$root/cmake/wine-run.sh" "$prefix" "$windows_build/tests/e2e/hanoi_probe.exe" \
            --show-state 2>/dev/null | tr -d '\r')
        check "start $switch: the window opens in its normal state ($state)" \
            test "$state" = "shown=normal"
        "$close_tool" "$window"
        wait_exit $pid 20
        code=$?
        check "start $switch: exit code 0 after the close (got $code)" test $code -eq 0
    else
        fail "start $switch: window within 60 s"
        kill -9 $pid 2>/dev/null
    fi
done

echo "e2e show state: $passed passed, $failed failed"
[ $failed -eq 0 ]
