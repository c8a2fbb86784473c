#!/usr/bin/env bash
# Runs tests/e2e/exit_while_redrawing.exe under Wine N times in each of three ways: without a
# second thread, as it is (ExitProcess while the second thread may be inside RedrawWindow), and
# stopping that thread at a pause first (what the program's exit gate does); each run ends
# 0.2-2.2 s after its start. Counts the runs that did not end within 20 s and prints the last
# step each of those reached.
# Usage: tests/soak/exit_while_redrawing.sh [N] [WINDOWS_BUILD_FOLDER]   (40, $HANOI_WINDOWS_BUILD)
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
runs=${1:-40}
build=${2:-${HANOI_WINDOWS_BUILD:-$root/build/windows64}}
probe=$build/tests/e2e/exit_while_redrawing.exe
[ -f "$probe" ] || { echo "missing $probe (build the Windows build's tests first)"; exit 1; }
read -r width _ <<<"$("$root/cmake/wine-width.sh")" || { echo "Wine cannot run here"; exit 1; }
out=$root/build/exit-while-redrawing
mkdir -p "$out"
source "$root/tests/e2e/x_session.sh"
start_display 300 319 "$out/xvfb.log"
trap 'WINEPREFIX=$out/prefix wineserver -k >/dev/null 2>&1; stop_display' EXIT
start_wine_session "$out/prefix" "$width"
# The first start makes the prefix and its desktop, which may take minutes: not counted.
timeout -k 5 300 "$root/cmake/wine-run.sh" "$out/prefix" "$probe" 200 0 --no-thread >/dev/null 2>&1
total_hangs=0
for mode in --no-thread as-is --stop-first; do
    hangs=0 others=0
    for _ in $(seq 1 "$runs"); do
        args=($((200 + RANDOM % 2000)) 0)
        [ $mode = as-is ] || args+=("$mode")
        timeout -k 5 20 "$root/cmake/wine-run.sh" "$out/prefix" "$probe" "${args[@]}" >"$out/run.log" 2>&1
        case $? in
            0) ;;
            124 | 137)
                hangs=$((hangs + 1))
                echo "$mode: a run hung; its last step: $(grep -a 'exit_while_redrawing:' "$out/run.log" | tail -1)"
                WINEPREFIX=$out/prefix wineserver -k >/dev/null 2>&1
                rm -f "$out/prefix.session"
                start_wine_session "$out/prefix" "$width" ;;
            *) others=$((others + 1)) ;;
        esac
    done
    echo "$mode: $runs runs, $hangs did not end within 20 s, $others other exit codes"
    [ $mode = --stop-first ] && total_hangs=$((total_hangs + hangs))
done
[ $total_hangs -eq 0 ]
