#!/usr/bin/env python3
"""The lircd socket and the replay under attack: figures for what a hostile or careless client
or recording could cost.

  flood    koru with a limit of 1,024 open files (prlimit), data/demo.mode2 as its port and a
           lircd socket; 1,100 connections are opened and held while the demo plays: the
           program's descriptors in use at most, the clients refused, the keys recognised (of
           15) and whether a client connected first still got every key line
  flooder  the arrival of each key line at a reading client, alone and beside 1 and 3 clients
           that send empty lines as fast as they can: the delay each adds (median and most)
  memory   peak resident memory of koru-decode and of koru (until its check of the recording
           is done) on a recording of 60 MB of "+1 -1" pairs on one line

Usage: bench/lircd_under_attack.py [--build build/default] [--only flood|flooder|memory]
"""
import argparse
import os
import shutil
import socket
import statistics
import subprocess
import tempfile
import threading
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DEMO = os.path.join(ROOT, "data", "demo.mode2")


def koru_env(work):
    env = dict(os.environ)
    env.pop("DISPLAY", None)
    env.pop("WAYLAND_DISPLAY", None)
    env.update(XDG_CONFIG_HOME=f"{work}/config", HOME=work, XDG_RUNTIME_DIR=work,
               KORU_FAKE_DESKTOP="1")
    return env


def start_koru(build, work, recording, extra=(), prefix=()):
    command = list(prefix) + [f"{build}/src/koru", "--home", f"{work}/koru", "--port",
                              f"replay:{recording}", "--exit-after-replay"] + list(extra)
    return subprocess.Popen(command, env=koru_env(work), stdout=subprocess.PIPE,
                            stderr=subprocess.STDOUT, text=True)


def wait_for_line(process, text, lines):
    for line in process.stdout:
        lines.append(line)
        if text in line:
            return True
    return False


def connect(path):
    client = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
    client.connect(path)
    return client


class Reader(threading.Thread):
    """Reads key lines and notes when each arrived."""

    def __init__(self, path):
        super().__init__(daemon=True)
        self.sock = connect(path)
        self.arrivals = []

    def run(self):
        buffered = b""
        while True:
            try:
                data = self.sock.recv(65536)
            except OSError:
                return
            if not data:
                return
            buffered += data
            while b"\n" in buffered:
                line, buffered = buffered.split(b"\n", 1)
                self.arrivals.append((time.monotonic(), line.decode(errors="replace")))


def flood(build):
    work = tempfile.mkdtemp()
    path = f"{work}/lircd"
    koru = start_koru(build, work, DEMO, ["--lircd-socket", path],
                      ["prlimit", "--nofile=1024:1024"])
    lines = []
    wait_for_line(koru, "serving LIRC clients", lines)
    reader = Reader(path)
    reader.start()
    held, failed = [], 0
    for _ in range(1100):
        try:
            held.append(connect(path))
        except OSError:
            failed += 1
    most = 0
    rest = []
    collector = threading.Thread(target=lambda: rest.extend(koru.stdout), daemon=True)
    collector.start()
    while koru.poll() is None:
        try:
            most = max(most, len(os.listdir(f"/proc/{koru.pid}/fd")))
        except FileNotFoundError:
            break
        time.sleep(0.05)
    collector.join()
    lines += rest
    keys = sum(1 for line in lines if " => " in line)
    refused = sum(1 for sock in held if sock.recv(1, socket.MSG_DONTWAIT | socket.MSG_PEEK) == b"")
    for sock in held:
        sock.close()
    shutil.rmtree(work, ignore_errors=True)
    print(f"flood: exit {koru.returncode}, descriptors in use at most {most} (limit 1024), "
          f"{len(held)} connections made ({failed} failed), {refused} closed by koru, "
          f"{keys} key reports, {len(reader.arrivals)} key lines at the first client")


FLOODER = """
import socket, sys
sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
sock.connect(sys.argv[1])
sock.setblocking(False)
chunk = b"\\n" * 65536
while True:
    try:
        sock.send(chunk)
    except BlockingIOError:
        pass
    except OSError:
        break
    try:
        while sock.recv(65536):
            pass
    except (BlockingIOError, OSError):
        pass
"""


def flooder(build, flooders):
    work = tempfile.mkdtemp()
    path = f"{work}/lircd"
    koru = start_koru(build, work, DEMO, ["--lircd-socket", path])
    lines = []
    wait_for_line(koru, "serving LIRC clients", lines)
    start = time.monotonic()
    reader = Reader(path)
    reader.start()
    # Each flooder a process of its own: threads of this one would slow the reader down.
    flooders = [subprocess.Popen(["python3", "-c", FLOODER, path]) for _ in range(flooders)]
    for _ in koru.stdout:
        pass
    koru.wait()
    for process in flooders:
        process.kill()
        process.wait()
    shutil.rmtree(work, ignore_errors=True)
    return [t - start for t, _ in reader.arrivals]


def peak_memory_kib(command, env=None, until=None):
    """Peak resident memory (VmHWM) of a command, sampled until it ends or `until` says so."""
    process = subprocess.Popen(command, env=env, stdout=subprocess.PIPE,
                               stderr=subprocess.STDOUT, text=True)
    peak = 0
    if until is not None:
        for line in process.stdout:
            if until in line:
                break
    else:
        process.communicate()
    try:
        with open(f"/proc/{process.pid}/status") as status:
            for line in status:
                if line.startswith("VmHWM:"):
                    peak = int(line.split()[1])
    except FileNotFoundError:
        pass
    process.kill()
    process.wait()
    return peak


def memory(build):
    work = tempfile.mkdtemp()
    recording = f"{work}/one_line.mode2"
    with open(recording, "w") as out:
        out.write("+1 -1 " * 10_000_000)  # 60 MB, no line end
    size = os.path.getsize(recording)
    # koru-decode keeps running to read its peak: time ends the sampling, not the tool.
    decode = subprocess.run(["/usr/bin/env", "bash", "-c",
                             f"command time -f %M {build}/tools/koru-decode/koru-decode "
                             f"--remotes builtin {recording} > /dev/null"],
                            capture_output=True, text=True)
    decode_kib = decode.stderr.strip().splitlines()[-1] if decode.stderr.strip() else "?"
    koru_kib = peak_memory_kib([f"{build}/src/koru", "--home", f"{work}/koru", "--port",
                                f"replay:{recording}"], env=koru_env(work), until="StartUp")
    shutil.rmtree(work, ignore_errors=True)
    print(f"memory: {size / 1e6:.0f} MB on one line: koru-decode peak {decode_kib} KiB, "
          f"koru peak {koru_kib} KiB (recording checked, window up)")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--build", default="build/default")
    parser.add_argument("--only", choices=["flood", "flooder", "memory"])
    args = parser.parse_args()
    build = os.path.abspath(args.build)
    if args.only in (None, "flood"):
        flood(build)
    if args.only in (None, "flooder"):
        alone = flooder(build, 0)
        for count in (1, 3):
            beside = flooder(build, count)
            delays = [b - a for a, b in zip(alone, beside)]
            if not delays or len(beside) != len(alone):
                print(f"flooder x{count}: {len(beside)} key lines arrived, {len(alone)} alone")
                continue
            print(f"flooder x{count}: {len(delays)} key lines, delay median "
                  f"{statistics.median(delays) * 1000:.1f} ms, most {max(delays) * 1000:.1f} ms")
    if args.only in (None, "memory"):
        memory(build)


if __name__ == "__main__":
    main()
