#!/usr/bin/env python3
"""Start-up and idle figures of koru, measured side by side in one run.

  start      warm start to "-- StartUp --" (offscreen), median of N runs, against a minimal Qt
             Widgets program (one label, shown, first turn of the event loop) started in turns
             with it
  many       the same start with 3500 remote files in the program folder against 35 (time and
             peak resident memory)
  first      the first start (empty program folder: the built-in remotes are written)
  idle       CPU time and wake-ups (context switches of all threads) per second while nothing
             happens: without a receiver, and with a recording that has played its one key

Usage: bench/startup_and_idle.py [--build build/default] [--runs 11] [--idle 10] [--start-only]
  --start-only   only KORU with 35 remotes against the minimal program, in turns, and no idle
                 figures: the ratio without the slow 3500-remote starts between them
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import tempfile
import time

TICKS = os.sysconf("SC_CLK_TCK")
MARK = "-- StartUp --"


def proc_status(pid, key):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1])
    return 0


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def wakeups(pid):
    """Context switches of every thread of the process so far."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as status:
                for line in status:
                    if "ctxt_switches" in line:
                        total += int(line.split()[1])
        except FileNotFoundError:
            pass
    return total


class Run:
    """One program started with its output read line by line."""

    def __init__(self, argv, env):
        self.start = time.monotonic()
        self.proc = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                                     env=env, text=True, bufsize=1)

    def wait_for(self, text):
        for line in self.proc.stdout:
            if line.startswith(text) or (text != MARK and text in line):
                return time.monotonic() - self.start
        raise RuntimeError(f"'{text}' never came")

    def stop(self):
        if self.proc.poll() is None:
            self.proc.send_signal(signal.SIGTERM)
        try:
            self.proc.communicate(timeout=10)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            self.proc.communicate()


def environment(config):
    env = dict(os.environ, XDG_CONFIG_HOME=config, QT_QPA_PLATFORM="offscreen")
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    return env


def start_once(argv, env):
    """Seconds to the start-up line and the peak resident memory (KiB) by then."""
    run = Run(argv, env)
    try:
        seconds = run.wait_for(MARK)
        peak = proc_status(run.proc.pid, "VmHWM") if run.proc.poll() is None else 0
    finally:
        run.stop()
    return seconds, peak


def multiply_remotes(source, target, copies):
    """Fills `target` with `copies` copies of every remote file in `source`, attributes too."""
    os.makedirs(target, exist_ok=True)
    for name in os.listdir(source):
        path = os.path.join(source, name)
        if name.startswith(".") or name.startswith("_") or not os.path.isfile(path):
            continue
        for i in range(copies):
            copy = f"{name}-{i:03d}"
            shutil.copy2(path, os.path.join(target, copy))  # keeps the KORU_TYPE attribute
            sidecar = os.path.join(source, f".{name}.koru-attr")
            if os.path.exists(sidecar):
                shutil.copy2(sidecar, os.path.join(target, f".{copy}.koru-attr"))


def idle(argv, env, wait_text, settle):
    """CPU ms and wake-ups per second while the program waits for a key."""
    run = Run(argv, env)
    try:
        run.wait_for(wait_text)
        time.sleep(settle)
        pid = run.proc.pid
        cpu0, wake0, t0 = cpu_seconds(pid), wakeups(pid), time.monotonic()
        time.sleep(ARGS.idle)
        cpu1, wake1, t1 = cpu_seconds(pid), wakeups(pid), time.monotonic()
    finally:
        run.stop()
    return (cpu1 - cpu0) * 1000 / (t1 - t0), (wake1 - wake0) / (t1 - t0)


def first_key_recording(demo, path):
    """The demo recording up to its second key: one key press, then the end."""
    keys = 0
    with open(demo) as source, open(path, "w") as out:
        for line in source:
            if line.startswith("# KORU remote"):
                keys += 1
                if keys == 2:
                    break
            out.write(line)


parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
parser.add_argument("--build", default="build/default")
parser.add_argument("--runs", type=int, default=11)
parser.add_argument("--idle", type=float, default=10.0)
parser.add_argument("--start-only", action="store_true")
ARGS = parser.parse_args()
KORU = os.path.join(ARGS.build, "src", "koru")
MINIMAL = os.path.join(ARGS.build, "bench", "minimal_qt_start")
SOURCE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

with tempfile.TemporaryDirectory() as tmp:
    env = environment(os.path.join(tmp, "config"))
    home35, home3500 = os.path.join(tmp, "home35"), os.path.join(tmp, "home3500")

    first, _ = start_once([KORU, "--home", home35], env)
    print(f"first start (35 built-in remotes written): {first * 1000:.0f} ms")
    programs = {
        "minimal Qt program": [MINIMAL],
        "KORU, 35 remotes": [KORU, "--home", home35],
    }
    if not ARGS.start_only:
        os.makedirs(home3500)
        multiply_remotes(os.path.join(home35, "_Remotes_"), os.path.join(home3500, "_Remotes_"),
                         100)
        programs["KORU, 3500 remotes"] = [KORU, "--home", home3500]
    times = {name: [] for name in programs}
    peaks = {name: [] for name in programs}
    for turn in range(ARGS.runs + 2):  # two warm-up turns, not counted
        for name, argv in programs.items():
            seconds, peak = start_once(argv, env)
            if turn >= 2:
                times[name].append(seconds)
                peaks[name].append(peak)
    median = {name: statistics.median(values) for name, values in times.items()}
    for name in programs:
        print(f"{name:20s} start {median[name] * 1000:7.1f} ms (median of {ARGS.runs}), "
              f"peak RSS {statistics.median(peaks[name]) / 1024:6.1f} MiB")
    print(f"start ratio KORU / minimal Qt program: "
          f"{median['KORU, 35 remotes'] / median['minimal Qt program']:.2f} (goal <= 1.3)")
    if ARGS.start_only:
        raise SystemExit(0)
    print(f"start ratio 3500 / 35 remotes: "
          f"{median['KORU, 3500 remotes'] / median['KORU, 35 remotes']:.2f} (goal <= 3)")

    cpu, wake = idle([KORU, "--home", home35], env, MARK, 1.0)
    print(f"idle without receiver: {cpu:.2f} ms CPU/s, {wake:.2f} wake-ups/s")
    recording = os.path.join(tmp, "one-key.mode2")
    first_key_recording(os.path.join(SOURCE, "data", "demo.mode2"), recording)
    # After the key the display is cleared by the 22nd pulse (5.5 s); the idle time starts then.
    cpu, wake = idle([KORU, "--home", home35, "--port", "replay:" + recording], env, " => ", 6.5)
    print(f"idle after a replayed key: {cpu:.2f} ms CPU/s, {wake:.2f} wake-ups/s")
