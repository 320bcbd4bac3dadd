#!/usr/bin/env python3
"""Start-up time and memory of the utility, over several runs.

Each run starts the program with NORVANE_REPORT_STARTUP=1, waits for the line it writes
once its main window has been painted for the first time, and takes that as the
start-up time (from launching the process). About a second later it reads the
process's resident memory (VmRSS, and the peak VmHWM) from /proc, then ends it.

The program runs on the virtual mouse plugged in on the cable (the default of the
build), so the page is filled and the links are open as a user would see them.
The first run creates the stores if they are missing; it is reported, and the summary
is taken over the runs after it.

    bench/startup/measure_startup.py [--runs 10] [--exe build/bin/norvane] [--platform offscreen|xcb]

With --platform xcb run it under an X server, e.g.
    xvfb-run -a -s "-screen 0 1280x900x24" bench/startup/measure_startup.py --platform xcb
"""
import argparse
import os
import select
import signal
import statistics
import subprocess
import sys
import time

MARKER = b"norvane-startup: first-paint"


def read_status(pid):
    fields = {}
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            key, _, value = line.partition(":")
            if key in ("VmRSS", "VmHWM"):
                fields[key] = int(value.split()[0])  # kB
    return fields


def one_run(exe, platform, settle_s, limit_s):
    env = dict(os.environ)
    env["NORVANE_REPORT_STARTUP"] = "1"
    env["QT_QPA_PLATFORM"] = platform
    env.setdefault("NORVANE_VIRTUAL_MOUSE_LINKS", "cable")
    start = time.monotonic()
    proc = subprocess.Popen([exe], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, env=env)
    buffered = b""
    painted_ms = None
    try:
        while time.monotonic() - start < limit_s:
            ready, _, _ = select.select([proc.stderr], [], [], 0.05)
            if ready:
                chunk = os.read(proc.stderr.fileno(), 65536)
                if not chunk:
                    break
                buffered += chunk
                if MARKER in buffered:
                    painted_ms = (time.monotonic() - start) * 1000.0
                    break
            if proc.poll() is not None:
                break
        if painted_ms is None:
            raise RuntimeError("no first paint within %.0f s; program output:\n%s" %
                               (limit_s, buffered.decode(errors="replace")))
        time.sleep(settle_s)
        memory = read_status(proc.pid)
    finally:
        if proc.poll() is None:
            proc.send_signal(signal.SIGTERM)
            try:
                proc.wait(5)
            except subprocess.TimeoutExpired:
                proc.kill()
                proc.wait()
    return painted_ms, memory["VmRSS"] / 1024.0, memory["VmHWM"] / 1024.0


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--runs", type=int, default=10)
    parser.add_argument("--exe", default=os.path.join(here, "..", "..", "build", "bin", "norvane"))
    parser.add_argument("--platform", default="offscreen")
    parser.add_argument("--settle", type=float, default=1.0, help="seconds between first paint and the RSS reading")
    parser.add_argument("--limit", type=float, default=20.0, help="seconds to wait for the first paint")
    args = parser.parse_args()
    exe = os.path.abspath(args.exe)
    if not os.access(exe, os.X_OK):
        sys.exit(f"{exe}: not built (cmake --build build)")

    results = []
    for i in range(args.runs + 1):
        painted, rss, peak = one_run(exe, args.platform, args.settle, args.limit)
        label = "first run" if i == 0 else f"run {i}"
        print(f"{label:>9}: first paint {painted:7.1f} ms, RSS {rss:6.1f} MB (peak {peak:6.1f} MB)")
        if i > 0:
            results.append((painted, rss, peak))

    paints = [r[0] for r in results]
    rss = [r[1] for r in results]
    peaks = [r[2] for r in results]
    print(f"\n{len(results)} runs on {args.platform}: first paint median {statistics.median(paints):.1f} ms "
          f"(min {min(paints):.1f}, max {max(paints):.1f}); RSS median {statistics.median(rss):.1f} MB "
          f"(min {min(rss):.1f}, max {max(rss):.1f}); peak RSS median {statistics.median(peaks):.1f} MB")


if __name__ == "__main__":
    main()
