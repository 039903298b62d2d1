#!/usr/bin/env python3
"""The dialog's cold start against its floor, as whole processes.

Runs `zarvik-print --ppd PPD --no-gui --screenshot FILE` (ours) and
`bare_view_screenshot VIEW.ui FILE` (the floor: the same view loaded and
pictured by a bare Qt program) in alternating order, each in a fresh process
with a private, empty XDG_CONFIG_HOME, and reports the median wall time, CPU
time (user and system) and peak resident set size (the child's ru_maxrss) of
each, with the ratios.  Both run on Qt's offscreen platform, whatever the
display.

Four more variants of the floor run in the same rounds, to show what stands
between ours and the floor: with libcups loaded into it (LD_PRELOAD), as
every program that reads a PPD has it; that again pictured at the dialog's
size, so that both save the same number of pixels; the bare view without
Designer's widget plug-ins, which the panel does not load and the floor
otherwise does; and that again pictured from its window's backing store, as
ours pictures the dialog, instead of painted a second time by grab().

With --json the figures are written as JSON, else printed.
"""
import argparse
import json
import os
import statistics
import struct
import subprocess
import sys
import tempfile
import time


def run_once(command, env):
    """Wall seconds, CPU seconds and peak RSS in KiB of one run of `command`."""
    with tempfile.TemporaryFile() as errors:
        start = time.perf_counter()
        child = subprocess.Popen(command, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL,
                                 stderr=errors)
        # wait4 gives this child's own rusage, not that of every child so far.
        _, status, usage = os.wait4(child.pid, 0)
        elapsed = time.perf_counter() - start
        child.returncode = os.waitstatus_to_exitcode(status)
        if child.returncode != 0:
            errors.seek(0)
            sys.exit(f"cold_start: {' '.join(command)} failed with {child.returncode}:\n"
                     f"{errors.read().decode(errors='replace')}")
    return elapsed, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def png_size(path):
    """Width and height from a PNG's header."""
    with open(path, "rb") as png:
        header = png.read(24)
    if len(header) < 24 or header[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit(f"cold_start: {path} is no PNG")
    return struct.unpack(">II", header[16:24])


def linked_library(program, soname):
    """Where the dynamic linker finds `soname` for `program`."""
    listing = subprocess.run(["ldd", program], capture_output=True, text=True, check=True).stdout
    for line in listing.splitlines():
        parts = line.split()
        if parts and parts[0] == soname and "=>" in parts:
            return parts[parts.index("=>") + 1]
    sys.exit(f"cold_start: {program} does not load {soname}")


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--ours", required=True, help="the zarvik-print program")
    parser.add_argument("--bare", required=True, help="the bare_view_screenshot program")
    parser.add_argument("--ppd", required=True, help="the PPD zarvik-print opens")
    parser.add_argument("--view", required=True, help="the view description, ZarvikPDE.ui from the bundle")
    parser.add_argument("--runs", type=int, default=20, help="timed runs of each (default 20)")
    parser.add_argument("--json", help="write the figures to this file")
    args = parser.parse_args()

    libcups = linked_library(args.ours, "libcups.so.2")
    with tempfile.TemporaryDirectory(prefix="zarvik-cold-start-") as scratch:
        env = dict(os.environ)
        env["XDG_CONFIG_HOME"] = os.path.join(scratch, "config")
        env["QT_QPA_PLATFORM"] = "offscreen"
        env.pop("LD_PRELOAD", None)
        os.makedirs(env["XDG_CONFIG_HOME"])
        with_cups = dict(env, LD_PRELOAD=libcups)
        png = {name: os.path.join(scratch, name + ".png") for name in ("ours", "bare", "cups", "sized", "lean", "shown")}
        ours = [args.ours, "--ppd", args.ppd, "--no-gui", "--screenshot", png["ours"]]
        # One untimed run of ours first: it gives the dialog's size, and both
        # programs then start with the files they read in the page cache.
        run_once(ours, env)
        width, height = png_size(png["ours"])
        programs = {
            "ours": (ours, env),
            "bare": ([args.bare, args.view, png["bare"]], env),
            "cups": ([args.bare, args.view, png["cups"]], with_cups),
            "sized": ([args.bare, args.view, png["sized"], f"{width}x{height}"], with_cups),
            "lean": ([args.bare, "--without-widget-plugins", args.view, png["lean"]], env),
            "shown": ([args.bare, "--without-widget-plugins", "--as-shown", args.view, png["shown"]], env),
        }
        for command, command_env in list(programs.values())[1:]:
            run_once(command, command_env)
        samples = {name: [] for name in programs}
        names = list(programs)
        for round_ in range(args.runs):
            # Each program goes first as often as last.
            for name in names if round_ % 2 == 0 else reversed(names):
                samples[name].append(run_once(*programs[name]))
        for path in png.values():
            if not os.path.getsize(path):
                sys.exit(f"cold_start: {path} is empty")

    def median(name, index):
        return statistics.median(sample[index] for sample in samples[name])

    figures = {"runs": args.runs, "dialog_size": [width, height]}
    for name in programs:
        figures[name] = {"wall_ms": median(name, 0) * 1e3, "cpu_ms": median(name, 1) * 1e3,
                         "peak_rss_kib": median(name, 2)}
    for name in ("ours", "cups", "sized", "lean", "shown"):
        figures[name]["ratios"] = {key: figures[name][key] / figures["bare"][key]
                                   for key in ("wall_ms", "cpu_ms", "peak_rss_kib")}
    if args.json:
        with open(args.json, "w") as out:
            json.dump(figures, out, indent=1)
        return
    ours_, bare_ = figures["ours"], figures["bare"]
    print(f"cold start, median of {args.runs} alternating runs each:")
    print(f"  wall time: {ours_['wall_ms']:.1f} ms against the bare view's {bare_['wall_ms']:.1f} ms: "
          f"ratio {ours_['ratios']['wall_ms']:.2f} (goal <= 1.25)")
    print(f"  peak memory: {ours_['peak_rss_kib'] / 1024:.1f} MiB against {bare_['peak_rss_kib'] / 1024:.1f} MiB: "
          f"ratio {ours_['ratios']['peak_rss_kib']:.2f} (goal <= 1.20)")
    print(f"  CPU time: {ours_['cpu_ms']:.1f} ms against {bare_['cpu_ms']:.1f} ms: "
          f"ratio {ours_['ratios']['cpu_ms']:.2f}")
    for name, what in (("cups", "the bare view with libcups loaded"),
                       ("sized", f"that, pictured at the dialog's {width}x{height}"),
                       ("lean", "the bare view without widget plug-ins"),
                       ("shown", "that, pictured as shown")):
        ratios = figures[name]["ratios"]
        print(f"  {what}: wall ratio {ratios['wall_ms']:.2f}, CPU {ratios['cpu_ms']:.2f}, "
              f"memory {ratios['peak_rss_kib']:.2f} against the bare view")
    for name, what in (("lean", "the bare view without widget plug-ins"), ("shown", "that, pictured as shown")):
        floor = figures[name]
        print(f"  ours against {what}: wall ratio "
              f"{ours_['wall_ms'] / floor['wall_ms']:.2f}, CPU {ours_['cpu_ms'] / floor['cpu_ms']:.2f}, "
              f"memory {ours_['peak_rss_kib'] / floor['peak_rss_kib']:.2f}")


if __name__ == "__main__":
    main()
