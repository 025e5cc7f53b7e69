#!/usr/bin/env python3
"""Instructions to "-- StartUp --": KORU (35 remotes, offscreen) against the minimal Qt program.

On a shared machine the start's milliseconds are noisy; the instructions are not. Each program
runs under callgrind, which is told to dump when the line appears; the dump's total counts
everything from the first instruction (the dynamic loader's too) to that line. With --functions
the costliest functions of KORU's dump are listed (inclusive), for finding where the start goes.

Usage: bench/startup_instructions.py [--build build/default] [--functions 40] [--keep DIR]
"""
import argparse
import os
import signal
import subprocess
import tempfile

MARK = "-- StartUp --"


def instructions_to_mark(argv, env, out):
    """Instructions from exec to the line, from a callgrind dump taken when it is printed."""
    proc = subprocess.Popen(["valgrind", "--tool=callgrind", f"--callgrind-out-file={out}"] + argv,
                            stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, env=env,
                            text=True, bufsize=1)
    try:
        for line in proc.stdout:
            if line.startswith(MARK):
                # Valgrind runs the program in its own process: same pid.
                subprocess.run(["callgrind_control", "-d", str(proc.pid)], check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                break
        else:
            raise RuntimeError(f"'{MARK}' never came from {argv[0]}")
    finally:
        proc.send_signal(signal.SIGTERM)
        try:
            proc.communicate(timeout=30)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.communicate()
    dump = next(p for p in sorted(os.listdir(os.path.dirname(out)))
                if p.startswith(os.path.basename(out) + "."))
    path = os.path.join(os.path.dirname(out), dump)
    with open(path) as data:
        for line in data:
            if line.startswith("summary:") or line.startswith("totals:"):
                return int(line.split()[1]), path
    raise RuntimeError(f"no total in {path}")


parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
parser.add_argument("--build", default="build/default")
parser.add_argument("--functions", type=int, default=0)
parser.add_argument("--keep", help="folder for the dumps (else a temporary one)")
ARGS = parser.parse_args()
KORU = os.path.join(ARGS.build, "src", "koru")
MINIMAL = os.path.join(ARGS.build, "bench", "minimal_qt_start")

with tempfile.TemporaryDirectory() as tmp:
    dumps = ARGS.keep or tmp
    os.makedirs(dumps, exist_ok=True)
    env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(tmp, "config"), QT_QPA_PLATFORM="offscreen")
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    home = os.path.join(tmp, "home35")
    koru = [KORU, "--home", home]
    # The first start writes the built-in remotes; the measured one finds them (a warm start).
    instructions_to_mark(koru, env, os.path.join(tmp, "first.out"))
    minimal, _ = instructions_to_mark([MINIMAL], env, os.path.join(dumps, "minimal.out"))
    ours, dump = instructions_to_mark(koru, env, os.path.join(dumps, "koru.out"))
    print(f"minimal Qt program {minimal / 1e6:6.1f} M instructions to the start-up line")
    print(f"KORU, 35 remotes   {ours / 1e6:6.1f} M instructions")
    print(f"ratio {ours / minimal:.3f} (goal <= 1.1)")
    if ARGS.functions:
        report = subprocess.run(["callgrind_annotate", "--inclusive=yes", dump],
                                capture_output=True, text=True, check=True).stdout
        print("\n".join(report.splitlines()[:ARGS.functions + 20]))
