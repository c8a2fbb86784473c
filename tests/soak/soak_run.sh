# One soak run and the figures of a build (sourced by tests/soak/run, which sets root, out,
# fresh, memory_group, close_tool and program_of). Each run writes one line to
# $out/<build>/results: run, moment, close delay (ms after the window appeared), outcome
# (pass, crash, hang, no-window, exit), exit code, largest gap between two moves (s, or -),
# how many times the window was resized, moved or covered.

now_ms() { echo $((${EPOCHREALTIME/./} / 1000)); }
# A pause without a new process: the loops below look many times a second, and a sleep(1)
# process each time (six workers at once) costs more than the programs they watch.
exec {pause_fd}<> <(:)
pause() { read -rt "$1" -u "$pause_fd" || true; }

# The moment of the close, as a kind and milliseconds after the window appeared. The solve's
# first move comes about as the window shows and the last about 31.75 s later.
draw_moment() {
    case $((RANDOM % 6)) in
        0) echo "at-once 0" ;;  # as soon as the window exists, before or during its first paint
        1) echo "first-paint $((RANDOM % 300))" ;;
        2) echo "right-after-a-move $(((1 + RANDOM % 126) * 250 + RANDOM % 30))" ;;
        3) echo "mid-solve $((300 + (RANDOM * 32768 + RANDOM) % 31200))" ;;
        4) echo "after-the-last-move $((31500 + RANDOM % 1500))" ;;
        5) echo "long-after $((33000 + RANDOM % 7000))" ;;
    esac
}

# The window "Towers of Hanoi" on this worker's display, looked for every 50 ms while the
# process lives; empty when it ends first or the time runs out.
wait_window() {  # pid, seconds
    local deadline=$(($(now_ms) + $2 * 1000)) id
    while [ "$(now_ms)" -lt $deadline ] && kill -0 "$1" 2>/dev/null; do
        id=$(xwininfo -root -tree 2>/dev/null | grep -F '"Towers of Hanoi": (' | awk '{print $1; exit}')
        [ -n "$id" ] && { echo "$id"; return 0; }
        pause 0.05
    done
    return 1
}

# Now and then while the solver runs: a new size, a new place, or another window over it that
# goes away again at the next turn (each an exposure for the program).
cover=
perturb() {  # window
    if [ -n "$cover" ]; then
        kill "$cover" 2>/dev/null
        wait "$cover" 2>/dev/null
        cover=
        return
    fi
    case $((RANDOM % 4)) in
        0) xdotool windowsize "$1" $((300 + RANDOM % 700)) $((200 + RANDOM % 500)) ;;
        1) xdotool windowsize "$1" 812 473 ;;
        2) xdotool windowmove "$1" $((RANDOM % 300)) $((RANDOM % 200)) ;;
        3)
            xmessage -geometry "$((200 + RANDOM % 500))x$((100 + RANDOM % 300))+$((RANDOM % 400))+$((RANDOM % 300))" \
                "covering the window" >/dev/null 2>&1 &
            cover=$! ;;
    esac
} >/dev/null 2>&1

# The largest gap between two moves: the platform trace's pauses (portable), or the moves'
# RedrawWindow calls in Wine's timestamped trace (Windows). "-" when fewer than two moves.
largest_gap() {  # build, trace or log
    case $1 in
        portable-*) awk '$2 == "Sleep" && $3 == "250" {if (n++) {g = $1 - l; if (g > m) m = g} l = $1}
                         END {if (n > 1) printf "%.3f", m; else printf "-"}' "$2" 2>/dev/null ;;
        *) awk '/trace:win:NtUserRedrawWindow/ && /flags: RDW_INVALIDATE RDW_FRAME$/ {t = $1 + 0; if (n++) {g = t - l; if (g > m) m = g} l = t}
                END {if (n > 1) printf "%.3f", m; else printf "-"}' "$2" 2>/dev/null ;;
    esac
}

# What a run left in its log that makes it a crash whatever its exit code.
crash_lines() { grep -aE 'crash report:|^wine: Unhandled|Sanitizer|runtime error:|Backtrace:' "$1"; }

descendants() {  # pid: its children, grandchildren and so on
    local child
    for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do
        echo "$child"
        descendants "$child"
    done
}

ended() {  # pid, seconds: whether the process ended within them
    local deadline=$((SECONDS + $2))
    while kill -0 "$1" 2>/dev/null; do
        [ $SECONDS -ge $deadline ] && return 1
        pause 0.1
    done
}

# A worker's Wine prefix is made, and its session started, before its first counted run:
# made inside a run, the prefix takes most of the time that run waits for the window on a
# loaded machine, and the run counts as "no window" though the program was never started.
warm_up_prefix() {  # worker
    local prefix=$out/prefix-$1
    "$root/cmake/wine-run.sh" "$prefix" "$(wine_programs "$wine_width")/cmd.exe" /c exit \
        >/dev/null 2>&1 </dev/null || true
    start_wine_session "$prefix" "$wine_width"
}

soak_run() {  # build, run number, worker
    local build=$1 run=$2 worker=$3 dir=$out/$1
    mkdir -p "$dir"
    local log=$dir/$run.log trace=$dir/$run.trace prefix=$out/prefix-$worker
    local moment delay program cmd
    read -r moment delay < <(draw_moment)
    program=$(program_of "$build")
    case $build in
        portable-*) cmd=(env HANOI_PLATFORM_TRACE="$trace" "$program") ;;
        *)
            if [ "$fresh" -eq 1 ]; then
                WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1
                rm -rf "$prefix" "$prefix.lock"
            else
                start_wine_session "$prefix" "$wine_width"
            fi
            cmd=(env WINEDEBUG=+timestamp,+win "$root/cmake/wine-run.sh" "$prefix" "$program") ;;
    esac
    (
        [ -n "$memory_group" ] && echo "$BASHPID" >"$memory_group/cgroup.procs"
        exec "${cmd[@]}"
    ) >"$log" 2>&1 &
    local pid=$! window code outcome perturbations=0
    # A new prefix is made on the first start, which takes a while on a loaded machine.
    if window=$(wait_window $pid 240); then
        local start next now
        start=$(now_ms)
        next=$((start + 500 + RANDOM % 2500))
        while now=$(now_ms) && [ $now -lt $((start + delay)) ] && kill -0 $pid 2>/dev/null; do
            if [ $now -ge "$next" ] && [ $((now - start)) -lt 32000 ]; then
                perturb "$window"
                perturbations=$((perturbations + 1))
                next=$((now + 300 + RANDOM % 2700))
            fi
            pause 0.01
        done
        [ -n "$cover" ] && perturb "$window"
        "$close_tool" "$window" >/dev/null 2>&1
        if ! ended $pid 20; then
            # A close lost on the way is asked for again, as a user would click twice.
            "$close_tool" "$window" >/dev/null 2>&1
            if ! ended $pid 10; then
                outcome=hang
                # What still runs: the run's process tree, and under Wine every process of
                # its prefix (one that took the program's output along keeps its pipe open).
                {
                    pstree -pal $pid
                    for process in $(pgrep -f .); do
                        grep -qz "^WINEPREFIX=$prefix\$" "/proc/$process/environ" 2>/dev/null &&
                            ps -o pid=,ppid=,etimes=,args= -p "$process"
                    done
                } >"$dir/$run.processes" 2>&1
                # Where it hangs: every thread's stack (under Wine, the Unix side of them).
                if command -v gdb >/dev/null; then
                    for process in $pid $(descendants $pid); do
                        grep -qaE 'hanoi' "/proc/$process/cmdline" 2>/dev/null || continue
                        grep -qxE 'bash|tee|env' "/proc/$process/comm" && continue
                        gdb -p "$process" -batch -ex "thread apply all bt" >>"$dir/$run.stacks" 2>&1
                    done
                fi
                kill -9 $pid 2>/dev/null
            fi
        fi
        wait $pid 2>/dev/null
        code=$?
        [ "${outcome:-}" = hang ] && code=124
    else
        kill -0 $pid 2>/dev/null && { kill -9 $pid; wait $pid 2>/dev/null; code=124; } ||
            { wait $pid; code=$?; }
        outcome=no-window
    fi
    if [ "${outcome:-}" = hang ] || [ $code -eq 124 ]; then
        # What was left running is stopped whole: the Wine server takes its processes along.
        case $build in windows-*) WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 ;; esac
        outcome=${outcome:-hang}
    elif crash_lines "$log" >/dev/null; then
        outcome=crash
    elif [ -z "${outcome:-}" ]; then
        [ $code -eq 0 ] && outcome=pass || outcome=exit
    fi
    local gap
    case $build in portable-*) gap=$(largest_gap "$build" "$trace") ;;
        *) gap=$(largest_gap "$build" "$log") ;; esac
    echo "$run $moment $delay $outcome $code $gap $perturbations" >>"$dir/results"
    # The passing runs' traces and logs are large and say nothing: only failures keep theirs.
    [ $outcome = pass ] && rm -f "$log" "$trace"
    return 0
}

summarise_build() {  # build, results file
    local build=$1 results=$2 count passes
    count=$(wc -l <"$results")
    passes=$(awk '$4 == "pass"' "$results" | wc -l)
    total_passed=$((total_passed + passes))
    total_failed=$((total_failed + count - passes))
    echo "== $build ($(program_of "$build")): $count runs, $passes passed"
    echo "   moments: $(awk '{print $2}' "$results" | sort | uniq -c | awk '{printf "%s %s, ", $2, $1}' | sed 's/, $//')"
    echo "   exit codes: $(awk '{print $5}' "$results" | sort -n | uniq -c | awk '{printf "%s (%s runs), ", $2, $1}' | sed 's/, $//')"
    echo "   crashes: $(awk '$4 == "crash"' "$results" | wc -l), hangs: $(awk '$4 == "hang"' "$results" | wc -l)," \
        "no window: $(awk '$4 == "no-window"' "$results" | wc -l), other exit codes: $(awk '$4 == "exit"' "$results" | wc -l)"
    echo "   window resized, moved or covered: $(awk '{s += $7} END {print s}' "$results") times"
    awk '$6 != "-" {if ($6 + 0 > m) {m = $6 + 0; r = $1}; n++}
         END {if (n) printf "   largest gap between two moves: %.3f s (run %s; %d runs measured)\n", m, r, n
              else print "   largest gap between two moves: no run made two moves"}' "$results"
    local run moment delay outcome code rest
    while read -r run moment delay outcome code rest; do
        [ "$outcome" = pass ] && continue
        echo "   -- run $run: $outcome, exit code $code (close $moment at $delay ms; log $out/$build/$run.log)"
        crash_lines "$out/$build/$run.log" 2>/dev/null | head -3 | sed 's/^/      /'
        # Anything else: Wine's errors (e.g. its desktop process not started in time).
        crash_lines "$out/$build/$run.log" >/dev/null ||
            grep -a -m 2 ':err:' "$out/$build/$run.log" 2>/dev/null | sed 's/^/      /'
        # The stack: the crash report's frames, winedbg's backtrace or the sanitizer's.
        grep -aE 'crash report:   #|^ *=?>? *[0-9]+ 0x[0-9a-f]+ |^ +#[0-9]+ 0x' "$out/$build/$run.log" 2>/dev/null |
            head -24 | sed 's/^/      /'
    done <"$results"
}

# A memory cgroup with the given limit (cgroup v2, else v1); prints its folder.
make_memory_group() {  # size (e.g. 300M), results folder
    local bytes group
    bytes=$(numfmt --from=iec "$1") || return 1
    for base in /sys/fs/cgroup /sys/fs/cgroup/memory; do
        group=$base/hanoi-soak-$$
        if [ -f "$base/cgroup.controllers" ] && grep -qw memory "$base/cgroup.controllers"; then
            mkdir "$group" 2>/dev/null && echo "$bytes" >"$group/memory.max" && { echo "$group"; return 0; }
        elif [ -f "$base/memory.limit_in_bytes" ]; then
            mkdir "$group" 2>/dev/null && echo "$bytes" >"$group/memory.limit_in_bytes" &&
                { echo "$group"; return 0; }
        fi
        rmdir "$group" 2>/dev/null
    done
    echo "no memory cgroup can be made here (needs a writable cgroup file system)" >&2
    return 1
}
remove_memory_group() {  # folder: waits for its processes to leave
    for _ in $(seq 1 50); do rmdir "$1" 2>/dev/null && return; sleep 0.1; done
}
