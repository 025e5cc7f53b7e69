#!/usr/bin/env python3
"""CPU time and peak memory of koru-decode against LIRC's irsimreceive, on the same recordings.

Writes a NEC configuration, has irsimsend make one press of it, and builds recordings of N
presses (368 ms apart) from it; then runs each program on each recording several times and
prints the medians of CPU time (user + system) and of peak resident memory, with the ratios.
Both programs must report every press. Ratios hold better than times on a shared machine.

  bench/koru_decode_against_lirc.py [--build build/default] [--presses 10000,100000] [--runs 5]
"""
import argparse
import os
import shutil
import statistics
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TIME = '/usr/bin/time'
NEC_CONFIG = """begin remote
  name  necbench
  bits           32
  flags SPACE_ENC|CONST_LENGTH
  eps            30
  aeps          100
  header       9000  4500
  one           563  1687
  zero          563   562
  ptrail        563
  repeat       9000  2250
  gap          108000
  frequency    38000
      begin codes
          KEY_1                    0x00FF807F
      end codes
end remote
"""


def one_press(work):
    """The pulse and space lines of one press, without the trailing gap."""
    config = os.path.join(work, 'nec.conf')
    with open(config, 'w') as f:
        f.write(NEC_CONFIG)
    subprocess.run(['irsimsend', '-k', 'KEY_1', config], cwd=work, check=True,
                   stdout=subprocess.DEVNULL)
    with open(os.path.join(work, 'simsend.out')) as f:
        lines = [line for line in f.read().splitlines() if line.startswith(('pulse', 'space'))]
    while lines and lines[-1].startswith('space'):
        lines.pop()
    return config, '\n'.join(lines) + '\nspace 300000\n'


def measure(command, out_path):
    """CPU seconds (user + system) and peak resident KiB of one run. GNU time runs it: a child
    forked from Python would count Python's own memory as its peak. irsimreceive leaves a
    dummy.out where it runs, hence the temporary folder."""
    usage_path = out_path + '.usage'
    with open(out_path, 'wb') as out:
        subprocess.run([TIME, '-o', usage_path, '-f', '%U %S %M'] + command, stdout=out,
                       stderr=subprocess.DEVNULL, check=True, cwd=os.path.dirname(out_path))
    with open(usage_path) as f:
        user, system, peak = f.read().split()[-3:]
    return float(user) + float(system), int(peak)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--build', default=os.path.join(ROOT, 'build', 'default'))
    parser.add_argument('--presses', default='10000,100000')
    parser.add_argument('--runs', type=int, default=5)
    args = parser.parse_args()
    decode = os.path.join(args.build, 'tools', 'koru-decode', 'koru-decode')
    for program in ('irsimsend', 'irsimreceive', TIME):
        if shutil.which(program) is None:
            sys.exit(f'{program} is not installed (LIRC, GNU time)')
    with tempfile.TemporaryDirectory() as work:
        config, press = one_press(work)
        print(f'{"presses":>8} {"koru-decode CPU":>16} {"irsimreceive CPU":>17} {"ratio":>6}'
              f' {"koru-decode RSS":>16} {"irsimreceive RSS":>17} {"ratio":>6}')
        for count in (int(n) for n in args.presses.split(',')):
            recording = os.path.join(work, f'nec{count}.mode2')
            with open(recording, 'w') as f:
                f.write('space 200000\n')
                for _ in range(count):
                    f.write(press)
            results = {}
            for name, command in (('koru', [decode, recording]),
                                  ('lirc', ['irsimreceive', config, recording])):
                out = os.path.join(work, name + '.out')
                runs = [measure(command, out) for _ in range(args.runs)]
                with open(out) as f:
                    reported = sum(1 for line in f if 'bits=33' in line or 'KEY_1' in line)
                if reported != count:
                    sys.exit(f'{command[0]} reported {reported} of {count} presses')
                results[name] = (statistics.median(r[0] for r in runs),
                                 statistics.median(r[1] for r in runs) / 1024)
            (kc, km), (lc, lm) = results['koru'], results['lirc']
            print(f'{count:>8} {kc:>14.3f} s {lc:>15.3f} s {kc / lc:>6.2f}'
                  f' {km:>12.1f} MiB {lm:>13.1f} MiB {km / lm:>6.2f}')


if __name__ == '__main__':
    main()
