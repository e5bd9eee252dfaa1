#!/usr/bin/env python3
"""Start of the program to the first page painted, and its resident memory.

Runs `tavrel --measure-startup` (the program prints "first page shown after
N ms" when the first page has loaded, counted from the start of main, and
ends) on a collection, under a private Xvfb server, several times with fresh
settings. While it runs, the resident memory (VmRSS) of the program and of
all its child processes (the browser's renderer and helpers) is sampled every
few milliseconds; the last sample before the program ends is the memory
after start.

    bench/gui_startup.py --program build/bin/tavrel --data build/bin [--runs 3]

The data folder is the one the program reads (TL2008.orl, default.ppj,
help08.html, images08/); the program is copied into a temporary folder beside
links to those files, since it reads the data folder beside itself.
"""
import argparse
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time


def rss_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return 0


def descendants(pid):
    out, todo = [], [pid]
    while todo:
        p = todo.pop()
        try:
            for task in os.listdir(f"/proc/{p}/task"):
                with open(f"/proc/{p}/task/{task}/children") as f:
                    kids = [int(k) for k in f.read().split()]
                out += kids
                todo += kids
        except OSError:
            pass
    return out


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--data", required=True)
    ap.add_argument("--runs", type=int, default=3)
    ap.add_argument("--display", default=":93")
    args = ap.parse_args()

    xvfb = subprocess.Popen(["Xvfb", args.display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(1.0)
    results = []
    try:
        for run in range(args.runs):
            with tempfile.TemporaryDirectory(prefix="tavrel-startup-") as tmp:
                folder = os.path.join(tmp, "bin")
                os.makedirs(folder)
                program = os.path.join(folder, "tavrel")
                shutil.copy2(args.program, program)
                for name in ("TL2008.orl", "default.ppj", "help08.html", "images08", "table"):
                    src = os.path.join(os.path.abspath(args.data), name)
                    if os.path.exists(src):
                        os.symlink(src, os.path.join(folder, name))
                env = dict(os.environ, DISPLAY=args.display, QTWEBENGINE_DISABLE_SANDBOX="1",
                           HOME=tmp, TMPDIR=tmp, XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                           XDG_DATA_HOME=os.path.join(tmp, "share"), XDG_RUNTIME_DIR=tmp)
                t0 = time.monotonic()
                proc = subprocess.Popen([program, "--measure-startup"], env=env, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True)
                main_kb = total_kb = 0
                while proc.poll() is None:
                    m = rss_kb(proc.pid)
                    if m:
                        main_kb = m
                        total_kb = m + sum(rss_kb(k) for k in descendants(proc.pid))
                    time.sleep(0.005)
                wall = (time.monotonic() - t0) * 1000
                out = proc.stdout.read()
                found = re.search(r"first page (\w+) after (\d+) ms", out)
                if not found or found.group(1) != "shown":
                    print(f"run {run + 1}: no first page ({out.strip()!r}, exit {proc.returncode})")
                    continue
                ms = int(found.group(2))
                results.append((ms, wall, main_kb / 1024, total_kb / 1024))
                print(f"run {run + 1}: first page after {ms} ms from main (process start to exit {wall:.0f} ms); "
                      f"resident memory {main_kb / 1024:.0f} MB, with the browser's processes {total_kb / 1024:.0f} MB")
    finally:
        xvfb.terminate()
        xvfb.wait()
    if not results:
        return 1
    print(f"median of {len(results)}: first page after {statistics.median(r[0] for r in results):.0f} ms; "
          f"resident memory {statistics.median(r[2] for r in results):.0f} MB "
          f"({statistics.median(r[3] for r in results):.0f} MB with the browser's processes); "
          f"load average {os.getloadavg()[0]:.2f}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
