#!/usr/bin/env python3
"""Pairs Google Benchmark results by group and prints each subject next to its baseline.

Benchmarks are named "<group>/baseline<anything>" and "<group>/<subject>"; the ratio is the
subject's time over the baseline's time, measured in the same run."""
import json
import sys


def main(paths):
    rows = []
    for path in paths:
        with open(path) as handle:
            report = json.load(handle)
        groups = {}
        for result in report["benchmarks"]:
            if result.get("run_type") == "aggregate" and result.get("aggregate_name") != "median":
                continue
            name = result.get("run_name", result["name"])
            group, _, subject = name.partition("/")
            groups.setdefault(group, {})[subject] = result["real_time"], result["time_unit"]
        for group, results in groups.items():
            baselines = [s for s in results if s.startswith("baseline")]
            if not baselines:
                continue
            base_time, unit = results[baselines[0]]
            for subject, (time, _) in results.items():
                if subject in baselines:
                    continue
                rows.append((group, subject, time, baselines[0], base_time, unit))
    print(f"{'group':<34} {'subject':<28} {'time':>12} {'baseline':<28} {'time':>12} {'ratio':>7}")
    for group, subject, time, baseline, base_time, unit in rows:
        ratio = time / base_time if base_time else float("inf")
        print(f"{group:<34} {subject:<28} {time:>9.1f} {unit:<2} {baseline:<28} "
              f"{base_time:>9.1f} {unit:<2} {ratio:>6.2f}x")


if __name__ == "__main__":
    main(sys.argv[1:])
