#!/usr/bin/env python3
"""Start-up time of koru to "-- StartUp --" (first and later start), resident memory after
start-up, and CPU use while idle for 10 s. Usage: bench/startup_and_idle.py [path/to/koru] [koru options...]"""
import os
import subprocess
import sys
import tempfile
import time

KORU = sys.argv[1] if len(sys.argv) > 1 else "build/default/src/koru"
EXTRA = sys.argv[2:]
TICKS = os.sysconf("SC_CLK_TCK")


def cpu_seconds(pid):
    with open(f"/proc/{pid}/stat") as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def rss_kib(pid):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    return 0


def run(home, config, idle_seconds):
    env = dict(os.environ, XDG_CONFIG_HOME=config)
    env.pop("DISPLAY", None)
    start = time.monotonic()
    proc = subprocess.Popen([KORU, "--home", home] + EXTRA, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL, env=env, text=True)
    startup = None
    for line in proc.stdout:
        if line.startswith("-- StartUp --"):
            startup = time.monotonic() - start
            break
    time.sleep(0.5)
    rss = rss_kib(proc.pid)
    cpu = None
    if idle_seconds:
        before = cpu_seconds(proc.pid)
        time.sleep(idle_seconds)
        cpu = (cpu_seconds(proc.pid) - before) / idle_seconds * 100
    proc.terminate()
    proc.communicate(timeout=10)
    return startup, rss, cpu


with tempfile.TemporaryDirectory() as tmp:
    home, config = os.path.join(tmp, "home"), os.path.join(tmp, "config")
    first, rss, _ = run(home, config, 0)
    later, rss_later, cpu = run(home, config, 10)
    print(f"start-up to '-- StartUp --': first start {first * 1000:.0f} ms, later start {later * 1000:.0f} ms")
    print(f"resident memory after start-up: {rss / 1024:.1f} MiB (later start {rss_later / 1024:.1f} MiB)")
    print(f"CPU while idle for 10 s: {cpu:.2f}% of one core")
