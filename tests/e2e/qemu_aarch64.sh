#!/usr/bin/env bash
# The aarch64 program (build/aarch64) under qemu-aarch64, with the arm64 root as its file
# prefix, in a private Xvfb: the window appears with its title and class, the puzzle is solved
# (the window shows the x86-64 scene's solved picture, pixel for pixel within 1%), and a close
# ends it with exit code 0. The reference picture and the close tool come from build/portable.
# Logs and screenshots go to build/e2e/aarch64/. The last line reads
# "e2e aarch64: N passed, M failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/e2e/aarch64
sysroot=${HANOI_AARCH64_SYSROOT:-$root/build/aarch64-sysroot}
rm -rf "$out"
mkdir -p "$out"
source "$root/tests/e2e/x_session.sh"
finish() {
    echo "e2e aarch64: $passed passed, $failed failed"
    [ $failed -eq 0 ]
    exit
}

program=$root/build/aarch64/hanoi
close_tool=$root/build/portable/tests/e2e/x11_close
for needed in "$program" "$close_tool" "$root/build/portable/tests/unit_tests"; do
    [ -x "$needed" ] || { fail "missing $needed (build build/aarch64 and build/portable)"; finish; }
done
HANOI_SCENE_PNG_DIR=$out "$root/build/portable/tests/unit_tests" \
    --gtest_filter='ScenePixels.SolvedPosition' >"$out/reference.log" 2>&1
check "the x86-64 scene's solved picture is made" test -f "$out/solved.png"

start_display 241 290 "$out/xvfb.log"
trap stop_display EXIT
trace=$out/solve.trace
HANOI_PLATFORM_TRACE=$trace qemu-aarch64 -L "$sysroot" "$program" >"$out/solve.log" 2>&1 &
pid=$!
if ! window=$(window_id "Towers of Hanoi" 120); then
    fail "window titled Towers of Hanoi within 120 s (log: $out/solve.log)"
    kill -9 $pid 2>/dev/null
    finish
fi
started=$SECONDS
pass "window titled Towers of Hanoi found"
check "WM_CLASS is HanoisClass" grep -q '"HanoisClass"' <(xprop -id "$window" WM_CLASS)
# The solve takes 127 pauses of 250 ms; emulation adds to the drawing between them.
solved=0
while [ $((SECONDS - started)) -lt 90 ] && kill -0 $pid 2>/dev/null; do
    if same_picture "$window" "$out/solved.png"; then solved=1; break; fi
    sleep 0.5
done
import -window "$window" "$out/end.png" 2>/dev/null
echo "the solved picture after $((SECONDS - started)) s"
check "all disks on the right peg: the solved picture within 90 s" test $solved -eq 1
"$close_tool" "$window"
wait_exit $pid 30
code=$?
check "a close ends it with exit code 0 (got $code)" test $code -eq 0
# Counted once the program has ended: each move's pause is traced as it begins.
moves=$(grep -cE '^[0-9.]+ Sleep 250$' "$trace")
check "127 moves made, each with its pause ($moves in the trace)" test "$moves" -eq 127
finish
