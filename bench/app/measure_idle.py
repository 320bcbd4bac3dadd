#!/usr/bin/env python3
"""CPU time and wake-ups per second of the idle utility, beside a bare Qt window.

Each case starts a process, lets it settle, then counts over a window of seconds the
CPU time it uses (utime + stime of all its threads, from /proc/PID/stat) and the
times its threads were woken (voluntary + involuntary context switches of every
thread, from /proc/PID/task/*/status). Cases:

  charging      the utility on the cable, charging: the window is shown and the
                charging sweep (timer 531, every 30 ms) runs
  on battery    the utility on the 2.4 GHz receiver, on battery: the window is shown,
                no sweep; what a hidden window costs, since hiding stops the sweep
  no mouse      the utility without a mouse (the no-mouse state; no tray under Xvfb)
  bare Qt       an empty Qt window of the same size (bench/app/bare_qt_window)

Run it under an X server so the windows are real, e.g.
    xvfb-run -a -s "-screen 0 1280x900x24" bench/app/measure_idle.py
"""
import argparse
import glob
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TICKS = os.sysconf("SC_CLK_TCK")


def cpu_ticks(pid):
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime (fields 14 and 15)


def switches(pid):
    total = 0
    for status in glob.glob(f"/proc/{pid}/task/*/status"):
        try:
            with open(status) as f:
                for line in f:
                    if line.startswith(("voluntary_ctxt_switches", "nonvoluntary_ctxt_switches")):
                        total += int(line.split()[1])
        except FileNotFoundError:
            pass  # a thread ended meanwhile
    return total


def measure(command, env, settle_s, window_s):
    proc = subprocess.Popen(command, env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        time.sleep(settle_s)
        if proc.poll() is not None:
            raise RuntimeError(f"{command[0]} ended early")
        cpu0, sw0, t0 = cpu_ticks(proc.pid), switches(proc.pid), time.monotonic()
        time.sleep(window_s)
        cpu1, sw1, t1 = cpu_ticks(proc.pid), switches(proc.pid), time.monotonic()
    finally:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.wait(5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()
    elapsed = t1 - t0
    return 100.0 * (cpu1 - cpu0) / TICKS / elapsed, (sw1 - sw0) / elapsed


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    build = os.path.join(here, "..", "..", "build")
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--bin", default=os.path.join(build, "bin"), help="folder of the built program")
    parser.add_argument("--bare", default=os.path.join(build, "bench", "bare_qt_window"))
    parser.add_argument("--settle", type=float, default=3.0)
    parser.add_argument("--window", type=float, default=10.0)
    args = parser.parse_args()
    if "DISPLAY" not in os.environ:
        sys.exit("run under an X server (see --help)")

    # A copy of the program's folder, so its stores start fresh and are thrown away.
    work = tempfile.mkdtemp()
    try:
        shutil.copytree(os.path.abspath(args.bin), os.path.join(work, "bin"), symlinks=True,
                        ignore=shutil.ignore_patterns("Data", "real-mouse"))
        exe = os.path.join(work, "bin", "norvane")
        base = dict(os.environ, QT_QPA_PLATFORM="xcb", NORVANE_VIRTUAL_MOUSE_BATTERY_PERIOD_MS="5000")
        cases = [
            ("charging", [exe], dict(base, NORVANE_VIRTUAL_MOUSE_LINKS="cable")),
            ("on battery", [exe], dict(base, NORVANE_VIRTUAL_MOUSE_LINKS="2.4")),
            ("no mouse", [exe], dict(base, NORVANE_VIRTUAL_MOUSE_LINKS="none")),
            ("bare Qt", [os.path.abspath(args.bare)], dict(base)),
        ]
        print(f"{'case':<12} {'CPU %':>7} {'wake-ups/s':>11}")
        for name, command, env in cases:
            cpu, wakeups = measure(command, env, args.settle, args.window)
            print(f"{name:<12} {cpu:7.2f} {wakeups:11.1f}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
