#!/usr/bin/env python3
"""Start-up time, CPU time and peak memory of the program against a window with one line of text.

Runs startup_probe (the program up to the splash's first painted frame), startup_text_floor
(a window of the same size with one line of text: the least any window that shows text pays,
its fonts loaded, shaped and drawn) and, for reference, startup_baseline (the same window
empty) in turn, measuring for each run the wall time from the start of the process to its
exit, the CPU time it used (user and system) and its peak resident memory. Prints the medians,
the ratios program/text floor, checked against the goals, and the ratios program/bare window.
On a machine busy with other work the CPU times and the peak memory are the steadier figures.

  bench/startup.py [--build DIR] [--runs N] [--warmup N] [--time-goal RATIO]
                   [--cpu-goal RATIO] [--memory-goal RATIO] [--probe PATH]

The platform plugin comes from QT_QPA_PLATFORM (offscreen when unset); under scripts/lib/with-xvfb
the X11 plugin (xcb) is used. Exits with 1 when a ratio to the text floor is above its goal
(wall time 1.10, CPU time 1.15, peak memory 1.05).
"""
import argparse
import os
import statistics
import subprocess
import sys
import time


def measure(executable, env):
    """Returns (wall seconds, CPU seconds, peak RSS in KiB) of one run."""
    start = time.perf_counter()
    process = subprocess.Popen([executable], env=env, stdin=subprocess.DEVNULL,
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    errors = process.stderr.read().decode(errors="replace")
    process.stderr.close()
    if process.returncode != 0:
        sys.exit(f"{executable} failed with {process.returncode}:\n{errors}")
    return elapsed, usage.ru_utime + usage.ru_stime, usage.ru_maxrss


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", default=os.environ.get(
        "ORVIDA_BUILD_DIR", os.path.join(here, "..", "build")))
    parser.add_argument("--runs", type=int, default=25)
    parser.add_argument("--warmup", type=int, default=3)
    parser.add_argument("--time-goal", type=float, default=1.10)
    parser.add_argument("--cpu-goal", type=float, default=1.15)
    parser.add_argument("--memory-goal", type=float, default=1.05)
    parser.add_argument("--probe", help="another build of startup_probe, e.g. to compare")
    args = parser.parse_args()

    programs = {name: os.path.join(args.build, "bench", name)
                for name in ("startup_probe", "startup_baseline", "startup_text_floor")}
    if args.probe:
        programs["startup_probe"] = os.path.abspath(args.probe)
    for path in programs.values():
        if not os.access(path, os.X_OK):
            sys.exit(f"{path} is missing: build the benchmarks first")

    env = dict(os.environ)
    env.setdefault("QT_QPA_PLATFORM", "offscreen")
    platform = env["QT_QPA_PLATFORM"]

    results = {name: ([], [], []) for name in programs}
    for run in range(args.warmup + args.runs):
        # Rotate the order too, so no program always runs right after the same other one.
        names = list(programs)
        order = names[run % len(names):] + names[:run % len(names)]
        for name in order:
            seconds, cpu, rss = measure(programs[name], env)
            if run >= args.warmup:
                results[name][0].append(seconds)
                results[name][1].append(cpu)
                results[name][2].append(rss)

    print(f"Start-up to the first painted frame, platform {platform}, "
          f"{args.runs} runs each (after {args.warmup} warm-up runs), medians:")
    medians = {}
    for name, (times, cpus, rss) in results.items():
        medians[name] = (statistics.median(times), statistics.median(rss),
                         statistics.median(cpus))
        print(f"  {name:17} {medians[name][0] * 1000:7.1f} ms "
              f"(min {min(times) * 1000:.1f}, max {max(times) * 1000:.1f}), "
              f"CPU {medians[name][2] * 1000:5.1f} ms   "
              f"peak RSS {medians[name][1] / 1024:6.1f} MiB "
              f"(min {min(rss) / 1024:.1f}, max {max(rss) / 1024:.1f})")

    def ratios(reference):
        """(time, peak memory, CPU time) of the program over those of `reference`."""
        return [medians["startup_probe"][i] / medians[reference][i] for i in range(3)]

    goals = (args.time_goal, args.memory_goal, args.cpu_goal)
    verdict = lambda r, goal: "ok" if r <= goal else f"ABOVE the goal of {goal:.2f}"
    floor = ratios("startup_text_floor")
    print(f"  ratio program/text floor: time {floor[0]:.3f} ({verdict(floor[0], goals[0])}), "
          f"CPU time {floor[2]:.3f} ({verdict(floor[2], goals[2])}), "
          f"peak memory {floor[1]:.3f} ({verdict(floor[1], goals[1])})")
    bare = ratios("startup_baseline")
    print(f"  for reference, program/bare window: time {bare[0]:.3f}, "
          f"CPU time {bare[2]:.3f}, peak memory {bare[1]:.3f}; "
          f"load average {os.getloadavg()[0]:.2f}")
    return 0 if all(r <= goal for r, goal in zip(floor, goals)) else 1


if __name__ == "__main__":
    sys.exit(main())
