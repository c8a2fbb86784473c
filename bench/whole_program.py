#!/usr/bin/env python3
"""Whole-program figures of the portable build, as the median of several runs.

Runs the real program in a real window (under Xvfb when no display is given), with the
platform trace file enabled, and reports:
  - time from process start to the first picture on screen,
  - the solve: first move to the end of the last pause, and the spread of move intervals,
  - CPU used during the solve and during 10 s of idling after it,
  - peak resident memory,
and beside them the start-up floor (bench/xlib_floor.cpp: a plain Xlib window of the same
client size showing one frame), started and timed the same way in the same run: its time
to its picture, its peak resident memory, and the program's first picture over the floor's.
Usage: bench/whole_program.py [--runs N] [--program PATH] [--floor PATH]
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time

CLOCK_TICKS = os.sysconf("SC_CLK_TCK")
# The portable window's picture reaches the screen when a paint ends.
PRESENT_EVENTS = ("Present", "EndPaint")
SETTLE_SECONDS = 2


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as handle:
        fields = handle.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / CLOCK_TICKS  # utime + stime


def peak_rss_mb(pid):
    with open(f"/proc/{pid}/status") as handle:
        for line in handle:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024
    return float("nan")


def read_events(path):
    events = []
    try:
        with open(path) as handle:
            for line in handle:
                parts = line.split(" ", 2)
                if len(parts) >= 2:
                    events.append((float(parts[0]), parts[1]))
    except FileNotFoundError:
        pass
    return events


def wait_for(condition, deadline, step=0.002):
    while time.time() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(step)
    return None


def start_traced(program, env, prefix):
    """Starts a program with the platform trace in a new file: (process, trace, start time)."""
    trace = tempfile.NamedTemporaryFile(prefix=prefix, delete=False).name
    env = dict(env, HANOI_PLATFORM_TRACE=trace)
    started = time.time()
    process = subprocess.Popen([program], env=env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.PIPE)
    return process, trace, started


def one_run(program, env):
    process, trace, started = start_traced(program, env, "hanoi-trace-")
    pid = process.pid
    try:
        first_present = wait_for(
            lambda: next((t for t, call in read_events(trace) if call in PRESENT_EVENTS), None),
            started + 10)
        if first_present is None:
            raise RuntimeError("no picture within 10 s: " + process.stderr.read().decode())
        first_move = wait_for(
            lambda: next((t for t, call in read_events(trace) if call == "RedrawWindow"), None),
            started + 10)
        cpu_at_first_move = cpu_seconds(pid)

        def solve_end():
            events = read_events(trace)
            moves = [t for t, call in events if call == "RedrawWindow"]
            if len(moves) < 127:
                return None
            # The last pause ends where the solver's next repaint request follows it.
            after = [t for t, call in events if call == "InvalidateRect" and t > moves[-1]]
            return (moves, after[0]) if after else None

        moves, end_of_last_pause = wait_for(solve_end, first_move + 60, step=0.05)
        cpu_at_end = cpu_seconds(pid)
        time.sleep(10)
        cpu_after_idle = cpu_seconds(pid)
        rss = peak_rss_mb(pid)
        intervals = [b - a for a, b in zip(moves, moves[1:])]
        solve = end_of_last_pause - first_move
        return {
            "start_to_first_picture_ms": (first_present - started) * 1000,
            "solve_s": solve,
            "interval_min_ms": min(intervals) * 1000,
            "interval_max_ms": max(intervals) * 1000,
            "interval_stdev_ms": statistics.pstdev(intervals) * 1000,
            "solve_cpu_percent": (cpu_at_end - cpu_at_first_move) / solve * 100,
            "idle_cpu_seconds_in_10s": cpu_after_idle - cpu_at_end,
            "peak_rss_mb": rss,
        }
    finally:
        process.terminate()
        process.wait(timeout=10)
        os.unlink(trace)


def floor_run(program, env):
    """The start-up floor: start to its one picture, and its peak resident memory."""
    process, trace, started = start_traced(program, env, "hanoi-floor-")
    try:
        present = wait_for(
            lambda: next((t for t, call in read_events(trace) if call == "Present"), None),
            started + 10)
        if present is None:
            raise RuntimeError("floor: no picture within 10 s: " + process.stderr.read().decode())
        return {"floor_start_to_picture_ms": (present - started) * 1000,
                "floor_peak_rss_mb": peak_rss_mb(process.pid)}
    finally:
        process.terminate()
        process.wait(timeout=10)
        os.unlink(trace)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--program", default="build/release/hanoi")
    parser.add_argument("--floor", default="build/release/bench/xlib_floor")
    args = parser.parse_args()
    env = dict(os.environ)
    xvfb = None
    if not env.get("DISPLAY"):
        display = ":97"
        xvfb = subprocess.Popen(["Xvfb", display, "-screen", "0", "1280x800x24", "-nolisten", "tcp"],
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        env["DISPLAY"] = display
        time.sleep(1)
    try:
        runs = []
        for _ in range(args.runs):
            # A start right after the previous run was killed shares the machine with that
            # run's teardown (up to twice the start-up time on a 2-core machine): let it end.
            if runs:
                time.sleep(SETTLE_SECONDS)
            floor = floor_run(args.floor, env)
            time.sleep(SETTLE_SECONDS)
            run = one_run(args.program, env)
            run.update(floor)
            run["first_picture_over_floor"] = (run["start_to_first_picture_ms"]
                                               / floor["floor_start_to_picture_ms"])
            runs.append(run)
    finally:
        if xvfb:
            xvfb.terminate()
    print(f"{'figure':<28} {'median':>10}   runs")
    for key in runs[0]:
        values = [run[key] for run in runs]
        print(f"{key:<28} {statistics.median(values):>10.3f}   "
              + " ".join(f"{v:.3f}" for v in values))


if __name__ == "__main__":
    sys.exit(main())
