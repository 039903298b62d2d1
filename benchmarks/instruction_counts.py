#!/usr/bin/env python3
"""Instructions per iteration of the panel benchmarks, counted by callgrind.

Wall time on a shared machine moves with its load; the number of
instructions an iteration executes does not.  Each benchmark runs under
valgrind --tool=callgrind with collection switched on only inside its
iteration function (panel_benchmark.cpp names them iteration...), and the
instructions collected are divided by the calls to that function.  For the
panel's build the PPD's opening and closing are left out, so that figure is
the panel's own cost over the floor, not a difference of two totals.

Prints one line per figure, or with --json writes them to a file.
"""
import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

# Benchmark filter, the iteration function callgrind collects in, and the
# functions called from it that are left out: the panel's iterations open
# and close the PPD as the floor does, and that part of them is the floor's,
# counted where it is measured (the allocator's state moves its count by a
# few per cent from one benchmark to the next).
FLOOR_PARTS = ["openMarked", "ppdClose"]
RUNS = [
    ("BM_PpdOpenAndMarkDefaults", "iterationPpdFloor", []),
    ("BM_PpdOpenPlusPanelShown/hostMarks:1/recorded:1", "iterationPanelShown", FLOOR_PARTS),
    ("BM_PpdOpenPlusPanelShown/hostMarks:0/recorded:1", "iterationPanelShown", FLOOR_PARTS),
    ("BM_PpdOpenPlusPanelShown/hostMarks:0/recorded:0", "iterationPanelShown", FLOOR_PARTS),
    ("BM_SliderActionEndToEnd/recorded:1", "iterationSliderAction", []),
    ("BM_SliderActionEndToEnd/recorded:0", "iterationSliderAction", []),
    ("BM_FillAndRefreshPopups/10", "iterationFillAndRefresh", []),
    ("BM_FillAndRefreshPopups/100", "iterationFillAndRefresh", []),
    ("BM_FillAndRefreshPopups/1000", "iterationFillAndRefresh", []),
    ("BM_FillAndRefreshPopups/10000", "iterationFillAndRefresh", []),
]


def count(benchmark, name, function, excluded, scratch):
    """Instructions per call of `function`, less those in `excluded`, while `name` runs."""
    out = os.path.join(scratch, "callgrind.out")
    # Collection toggles on entering the iteration and off again inside
    # each excluded call.
    toggles = [f"--toggle-collect=*{f}*" for f in [function] + excluded]
    command = [shutil.which("valgrind") or "valgrind", "--tool=callgrind", "--compress-strings=no", "--compress-pos=no",
               f"--callgrind-out-file={out}", *toggles,
               benchmark, f"--benchmark_filter=^{re.escape(name)}$", "--benchmark_min_time=0.5"]
    # A fixed environment: its size moves the stack, whose alignment changes
    # the paths through glibc's vectorised string functions that libcups's
    # parser calls, and with them the floor's count by a few per cent.
    environment = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8"}
    run = subprocess.run(command, env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if run.returncode != 0:
        sys.exit(f"instruction_counts: {name} failed under callgrind:\n{run.stderr}")
    total = None
    calls = 0
    called = False
    with open(out) as data:
        for line in data:
            if line.startswith("totals:") or line.startswith("summary:"):
                total = int(line.split()[1])
            elif line.startswith("cfn="):
                called = function in line
            elif line.startswith("calls=") and called:
                calls += int(line[len("calls="):].split()[0])
    if not total or not calls:
        sys.exit(f"instruction_counts: callgrind saw no call of {function} in {name}")
    return total / calls


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--benchmark", required=True, help="the panel_benchmark program")
    parser.add_argument("--json", help="write the figures to this file")
    args = parser.parse_args()

    with tempfile.TemporaryDirectory(prefix="zarvik-callgrind-") as scratch:
        figures = {name: count(args.benchmark, name, function, excluded, scratch)
                   for name, function, excluded in RUNS}
    if args.json:
        with open(args.json, "w") as out:
            json.dump(figures, out, indent=1)
    else:
        for name, instructions in figures.items():
            print(f"{name:50} {instructions:12,.0f} instructions per iteration")


if __name__ == "__main__":
    main()
