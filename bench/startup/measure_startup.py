#!/usr/bin/env python3
"""Start-up time and memory of the utility beside a bare Qt window, interleaved.

Three cases run in turn, in a rotating order, for --runs rounds:

  bare Qt        an empty Qt window of the main window's size (build/bench/bare_qt_window)
  program 1      the utility with a store of 1 profile
  program 200    the utility with a store of 200 profiles

Every process runs with NORVANE_REPORT_STARTUP=1 and writes "norvane-startup: NAME at
MS" marks (MS on the monotonic clock this script also reads); the time to a mapped,
painted window is the "first-paint" mark less the launch instant. --settle seconds
later the resident memory (VmRSS) is read from /proc; then (--saves, 2 by default) the
utility is asked through its command line to switch DPI levels, each switch applied and
saved, and its memory is read again; then the process is ended.

The utility runs on the virtual mouse plugged in on the cable, each profile count in
its own copy of the program's folder (so its stores are its own and thrown away).

Printed: every run, then per case the median time to the first paint, the CPU time the
process had used by then (all threads; steadier than the time on a busy machine), the
memory, their ratios to the bare window, and the median of each start-up mark (the
breakdown).

    bench/startup/measure_startup.py [--runs 7] [--build build] [--base OTHER_BUILD]

It needs an X server and a session bus, as a desktop has: with no DISPLAY it starts its
own Xvfb, with no DBUS_SESSION_BUS_ADDRESS its own session bus (otherwise the first
process to use the bus would start one itself, inside the time measured).
"""
import argparse
import os
import re
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

MARK = re.compile(rb"norvane-startup: (\S+) at ([0-9.]+)")


def cpu_time_ms(pid):
    """Time the process's threads have run so far (/proc/PID/task/*/schedstat, in ns)."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (FileNotFoundError, ProcessLookupError):
            pass  # a thread ended meanwhile
    return total / 1e6


def rss_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1]) / 1024.0
    raise RuntimeError("no VmRSS")


def drain(proc, seconds):
    """Waits, reading the process's output meanwhile so that it never blocks on the pipe."""
    end = time.monotonic() + seconds
    while (left := end - time.monotonic()) > 0:
        ready, _, _ = select.select([proc.stderr], [], [], left)
        if ready and not os.read(proc.stderr.fileno(), 65536):
            break


def one_run(command, env, settle_s, limit_s, saves=0):
    """Returns (first paint in ms, RSS in MB, {mark: ms since launch, "cpu-at-first-paint",
    and with `saves` "rss-after-saves": the memory once that many profile switches have
    been applied and saved})."""
    start_ms = time.monotonic() * 1000.0
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    output = b""
    marks = {}
    cpu_ms = 0.0
    try:
        while "first-paint" not in marks:
            if time.monotonic() * 1000.0 - start_ms > limit_s * 1000.0:
                raise RuntimeError(f"{command[0]}: no first paint in {limit_s} s:\n{output.decode(errors='replace')}")
            ready, _, _ = select.select([proc.stderr], [], [], 0.05)
            if ready:
                chunk = os.read(proc.stderr.fileno(), 65536)
                if not chunk:
                    raise RuntimeError(f"{command[0]} ended:\n{output.decode(errors='replace')}")
                output += chunk
                for name, at in MARK.findall(output):
                    marks.setdefault(name.decode(), float(at) - start_ms)
                if "first-paint" in marks:
                    cpu_ms = cpu_time_ms(proc.pid)
        drain(proc, settle_s)
        memory = rss_mb(proc.pid)
        if saves:
            # DPI level switches through the running instance: each changes the profile,
            # applies it and saves the store (on the store writer's thread), as a user's
            # click would.
            for i in range(saves):
                subprocess.run(command + ["dpi", str(2 + i % 2)], env=env, check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=limit_s)
            drain(proc, settle_s)
            marks["rss-after-saves"] = rss_mb(proc.pid)
    finally:
        if proc.poll() is None:
            proc.send_signal(signal.SIGTERM)
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
    marks["cpu-at-first-paint"] = cpu_ms
    return marks["first-paint"], memory, marks


def program_folder(work, build, profiles, tag="p"):
    """A copy of the program's folder whose store holds `profiles` profiles."""
    folder = os.path.join(work, f"{tag}{profiles}")
    shutil.copytree(os.path.join(build, "bin"), folder, symlinks=True,
                    ignore=shutil.ignore_patterns("Data", "real-mouse", "*_test", "*_fuzz*"))
    store = os.path.join(folder, "Data", "ms_1")
    subprocess.run([os.path.join(build, "bench", "seed_profiles"), store, str(profiles)], check=True)
    return os.path.join(folder, "norvane")


def start_xvfb():
    read_fd, write_fd = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_fd), "-screen", "0", "1280x900x24", "-nolisten", "tcp"],
                              pass_fds=(write_fd,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_fd)
    number = b""
    while not number.endswith(b"\n"):
        chunk = os.read(read_fd, 16)
        if not chunk:
            raise RuntimeError("Xvfb did not start")
        number += chunk
    os.close(read_fd)
    return server, ":" + number.decode().strip()


def start_session_bus():
    bus = subprocess.Popen(["dbus-daemon", "--session", "--nofork", "--print-address=1"],
                           stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    address = bus.stdout.readline().decode().strip()
    if not address:
        raise RuntimeError("dbus-daemon did not start")
    return bus, address


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=7)
    parser.add_argument("--build", default=os.path.join(here, "..", "..", "build"))
    parser.add_argument("--profiles", type=int, nargs="+", default=[1, 200])
    parser.add_argument("--base", help="the build folder of an earlier version, measured in the same runs")
    parser.add_argument("--settle", type=float, default=1.0, help="seconds from first paint to the memory reading")
    parser.add_argument("--limit", type=float, default=30.0, help="seconds to wait for the first paint")
    parser.add_argument("--saves", type=int, default=2,
                        help="DPI level switches (each applied and saved) before the second memory reading")
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    bare = os.path.join(build, "bench", "bare_qt_window")
    for needed in (os.path.join(build, "bin", "norvane"), bare, os.path.join(build, "bench", "seed_profiles")):
        if not os.access(needed, os.X_OK):
            sys.exit(f"{needed}: not built (cmake --build {args.build})")

    server = bus = None
    env = dict(os.environ, NORVANE_REPORT_STARTUP="1", QT_QPA_PLATFORM="xcb", NORVANE_VIRTUAL_MOUSE_LINKS="cable")
    if "DISPLAY" not in os.environ:
        server, env["DISPLAY"] = start_xvfb()
    if "DBUS_SESSION_BUS_ADDRESS" not in os.environ and shutil.which("dbus-daemon"):
        bus, env["DBUS_SESSION_BUS_ADDRESS"] = start_session_bus()
    work = tempfile.mkdtemp(prefix="norvane-startup-")
    try:
        cases = [("bare Qt", [bare])]
        cases += [(f"program {n}", [program_folder(work, build, n)]) for n in args.profiles]
        if args.base:
            # An earlier build measured in the same runs: before and after side by side.
            base = os.path.abspath(args.base)
            cases += [(f"base {n}", [program_folder(work, base, n, "b")]) for n in args.profiles]
        # One unmeasured start of each, so the stores are checked and the page cache is warm.
        for _, command in cases:
            one_run(command, env, 0.0, args.limit)
        results = {name: [] for name, _ in cases}
        for r in range(args.runs):
            for name, command in cases[r % len(cases):] + cases[:r % len(cases)]:
                saves = args.saves if name != "bare Qt" else 0
                paint, rss, marks = one_run(command, env, args.settle, args.limit, saves)
                results[name].append((paint, rss, marks))
                print(f"run {r + 1:>2} {name:<12} first paint {paint:7.1f} ms  RSS {rss:6.1f} MB", flush=True)

        def median(name, pick):
            return statistics.median(pick(run) for run in results[name])

        paint_of = lambda run: run[0]
        rss_of = lambda run: run[1]
        cpu_of = lambda run: run[2]["cpu-at-first-paint"]
        print(f"\nmedians of {args.runs} runs (Xvfb), ratios to the bare Qt window:")
        print(f"{'case':<12} {'first paint':>12} {'ratio':>6} {'CPU to paint':>13} {'ratio':>6} {'RSS':>9} {'ratio':>6}")
        for name, _ in cases:
            paint, cpu, rss = median(name, paint_of), median(name, cpu_of), median(name, rss_of)
            print(f"{name:<12} {paint:9.1f} ms {paint / median('bare Qt', paint_of):5.2f}x "
                  f"{cpu:10.1f} ms {cpu / median('bare Qt', cpu_of):5.2f}x "
                  f"{rss:6.1f} MB {rss / median('bare Qt', rss_of):5.2f}x")
        if args.saves:
            print(f"\nmemory after {args.saves} DPI level switches, each applied and saved (median):")
            for name, _ in cases[1:]:
                print(f"  {name:<12} {median(name, lambda run: run[2]['rss-after-saves']):6.1f} MB")
        for name, _ in cases:
            names = sorted({k for _, _, marks in results[name] for k in marks} - {"cpu-at-first-paint", "rss-after-saves"},
                           key=lambda k: statistics.median(m[k] for _, _, m in results[name] if k in m))
            print(f"\nstart-up marks of {name} (median ms since launch):")
            for k in names:
                print(f"  {k:<24} {statistics.median(m[k] for _, _, m in results[name] if k in m):8.1f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)
        for process in (server, bus):
            if process is not None:
                process.terminate()
                process.wait()


if __name__ == "__main__":
    main()
