#!/usr/bin/env python3
"""Time from the last edge of a press's first frame to its report, per protocol, with koru-decode.

Each recording holds one press and is played alone through koru-decode (the burst evaluation,
on its virtual clock: the figures do not depend on the machine). The report is the first line
with an exact code; the first frame ends at the first space of 10 ms or more, or of more than
5.6 ms and twice the burst's median space (an XMP frame at the second: its halves are 13.8 ms
apart). Recordings:

  - lirc:     up to 12 keys of every LIRC configuration irsimsend can send (lirc-compat-remotes),
              as bench/receiver_compare.py makes them;
  - conf:     every key of the configurations in tests/receiver/exact/ and of a Samsung (32-bit,
              4.5 ms + 4.5 ms lead-in) configuration written here, through irsimsend;
  - exact:    koru-encode --exact, 24 codes of every form the exact encoder sends, without jitter
              and with up to 100 us on every period;
  - built-in: koru-encode, every key of the built-in remotes.

Prints per protocol (PDist frames with Samsung's lead-in and 32 bits apart as "Samsung") the
number of presses, the median and the worst time from the last edge to the report, in ms:

  bench/receiver_frame_latency.py [--build build/default] [--decode PATH] [--keep DIR]

--decode plays the recordings through another koru-decode (an older build, for a before/after).
"""
import argparse
import glob
import os
import random
import statistics
import subprocess
import sys
import tempfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import receiver_compare  # noqa: E402  (the recordings of the model comparison)

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
LEAD_IN_MS = 100.0  # koru-decode plays a file from 100 ms on
ALWAYS_GAP = 10000
SHORTEST_GAP = 5600

SAMSUNG_CONFIG = """begin remote
  name  samsung32
  bits           32
  flags SPACE_ENC|CONST_LENGTH
  eps            30
  aeps          100
  header       4500  4500
  one           560  1690
  zero          560   560
  ptrail        560
  gap          108000
  min_repeat      0
  begin codes
%s  end codes
end remote
"""

# Every form the exact encoder sends, with the ranges of its address and command.
EXACT_FORMS = [
    ('NEC', 0xFF, 0xFF), ('NECx', 0xFFFF, 0xFF), ('NEC32', 0xFFFF, 0xFFFF),
    ('Sanyo', 0x1FFF, 0xFF), ('Kaseikyo', None, 0xFF), ('JVC', 0xFF, 0xFF),
    ('Sharp', 0x1F, 0xFF), ('Denon', 0x1F, 0xFF), ('Sony12', 0x1F, 0x7F), ('Sony15', 0xFF, 0x7F),
    ('Sony20', None, 0x7F), ('RC-5', 0x1F, 0x3F), ('RC-5X', 0x1F, 0x7F), ('RC-6', 0xFF, 0xFF),
    ('RC-6A', None, 0xFF), ('RCMM', None, None), ('XMP', 0xFFFFFF, 0xFFFF),
    ('PDist', None, None), ('Biphase', None, None)]


def exact_field(form, rng):
    name, address_max, command_max = form
    if name == 'Kaseikyo':
        address = 0x2002 << 16 | rng.randrange(16) << 8 | rng.randrange(256)
    elif name == 'Sony20':
        address = rng.randrange(256) << 8 | rng.randrange(32)
    elif name == 'RC-6A':
        address = rng.choice([rng.randrange(0x1000), rng.randrange(0x1000, 0x10000),
                              0x800000 | rng.randrange(0x100) << 8 | rng.randrange(0x80)])
    elif name == 'RCMM':
        kind = rng.randrange(3)
        address, command = [(rng.randrange(16), rng.randrange(256)),
                            (rng.randrange(0x1000), rng.randrange(0x1000)),
                            (rng.randrange(0x7FFF), rng.randrange(0x10000))][kind]
        return '%s:0x%X:0x%X' % (name, address, command)
    elif name in ('PDist', 'Biphase'):
        bits = rng.randrange(8, 25)
        return '%s:0x%X:0x%X' % (name, bits, rng.randrange(1, (1 << bits) - 1))
    else:
        address = rng.randrange(address_max + 1)
    return '%s:0x%X:0x%X' % (name, address, rng.randrange(command_max + 1))


def exact_recordings(build, out):
    encode = os.path.join(build, 'tools', 'koru-encode', 'koru-encode')
    rng = random.Random(30)
    files = []
    for form in EXACT_FORMS:
        made = 0
        for attempt in range(200):
            if made == 24:
                break
            field = exact_field(form, rng)
            jitter = ['--jitter', '100', '--seed', str(attempt)] if made % 2 else []
            result = subprocess.run([encode, '--exact', field] + jitter, stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL, text=True)
            if result.returncode:
                continue  # a value the form cannot carry
            path = os.path.join(out, 'exact-%s-%02d.mode2' % (form[0], made))
            with open(path, 'w') as f:
                f.write(result.stdout)
            files.append(path)
            made += 1
    return files


def irsimsend_keys(conf, out, prefix, limit=64):
    files = []
    for k, key in enumerate(receiver_compare.config_keys(conf, limit)):
        work = tempfile.mkdtemp(dir=out)
        result = subprocess.run(['irsimsend', '-k', key, '-c', '1', conf], cwd=work,
                                stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        sim = os.path.join(work, 'simsend.out')
        if result.returncode or not os.path.exists(sim) or not receiver_compare.is_mode2(sim):
            break
        path = os.path.join(out, '%s-%02d.mode2' % (prefix, k))
        os.rename(sim, path)
        files.append(path)
    return files


def conf_recordings(out):
    if subprocess.run(['which', 'irsimsend'], stdout=subprocess.DEVNULL).returncode:
        return []
    samsung = os.path.join(out, 'samsung32.conf')
    rng = random.Random(32)
    codes = ''
    for k in range(12):
        address = rng.randrange(256)
        command = rng.randrange(256)
        value = address << 24 | address << 16 | command << 8 | command ^ 0xFF
        codes += '    KEY_%d 0x%08X\n' % (k, value)
    with open(samsung, 'w') as f:
        f.write(SAMSUNG_CONFIG % codes)
    files = irsimsend_keys(samsung, out, 'conf-samsung32')
    for conf in sorted(glob.glob(os.path.join(ROOT, 'tests', 'receiver', 'exact', '*.conf'))):
        files += irsimsend_keys(conf, out, 'conf-' + os.path.basename(conf)[:-5])
    return files


def read_entries(path):
    """The recording as [pulse?, microseconds] entries, two of one level joined."""
    entries = []
    with open(path, encoding='latin-1') as f:
        for line in f:
            words = line.split()
            if len(words) != 2 or words[0] not in ('pulse', 'space'):
                continue
            pulse = words[0] == 'pulse'
            if entries and entries[-1][0] == pulse:
                entries[-1][1] += int(words[1])
            else:
                entries.append([pulse, int(words[1])])
    return entries


def first_frame_end_ms(entries, halves):
    """The time of the first frame's last edge on koru-decode's clock (ms): the end of the last
    pulse before the first gap (`halves` = 2: the second gap)."""
    first = next((i for i, (pulse, _) in enumerate(entries) if pulse), len(entries))
    spaces = sorted(us for pulse, us in entries[first:] if not pulse) or [0]
    median = spaces[len(spaces) // 2]
    gaps_left = halves
    time = sum(us for _, us in entries[:first])
    for pulse, us in entries[first:]:
        if not pulse and (us >= ALWAYS_GAP or (us > SHORTEST_GAP and us > 2 * median)):
            gaps_left -= 1
            if gaps_left == 0:
                break
        time += us
    if entries and not entries[-1][0] and gaps_left:
        time -= entries[-1][1]  # the quiet after the last frame
    return LEAD_IN_MS + time / 1000.0


def group_of(field, entries):
    protocol = field.split(':', 1)[0]
    pulses = [i for i, (pulse, _) in enumerate(entries) if pulse]
    if protocol == 'PDist' and pulses and pulses[0] + 1 < len(entries):
        lead_mark, lead_space = entries[pulses[0]][1], entries[pulses[0] + 1][1]
        bits = int(field.split(':')[1], 16) & 0xFF
        if bits == 32 and abs(lead_mark - 4500) < 1125 and abs(lead_space - 4500) < 1125:
            return 'Samsung'
    return protocol


def measure(decode, files):
    """{group: [ms, ...]}, and the files without a report."""
    groups = {}
    missing = []
    for path in files:
        out = subprocess.run([decode, path], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                             text=True).stdout
        line = next((l for l in out.splitlines() if ' exact=' in l), None)
        if line is None:
            missing.append(path)
            continue
        field = line.rsplit(' exact=', 1)[1]
        entries = read_entries(path)
        halves = 2 if field.startswith('XMP:') else 1
        latency = float(line.split(' ', 1)[0]) - first_frame_end_ms(entries, halves)
        groups.setdefault(group_of(field, entries), []).append(latency)
    return groups, missing


NAMED = {'NEC', 'NECx', 'NEC32', 'Sanyo', 'Kaseikyo', 'JVC', 'Sharp', 'Denon', 'Sony12', 'Sony15',
         'Sony20', 'RC-5', 'RC-5X', 'RC-6', 'RC-6A', 'RCMM', 'XMP', 'Samsung'}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--build', default=os.path.join(ROOT, 'build', 'default'))
    parser.add_argument('--decode', help='the koru-decode to measure (default: the build\'s)')
    parser.add_argument('--keep', help='write the recordings here (kept; reused when there)')
    args = parser.parse_args()
    decode = args.decode or os.path.join(args.build, 'tools', 'koru-decode', 'koru-decode')
    out = args.keep or tempfile.mkdtemp(prefix='koru-latency-')
    os.makedirs(out, exist_ok=True)
    listing = os.path.join(out, 'recordings.txt')
    if os.path.exists(listing):
        with open(listing) as f:
            sets = eval(f.read())  # written below by this script
    else:
        lirc, _ = receiver_compare.lirc_sets(out)
        sets = {'lirc': lirc['press'], 'conf': conf_recordings(out),
                'exact': exact_recordings(args.build, out),
                'built-in': receiver_compare.builtin_sets(args.build, out)['press']}
        with open(listing, 'w') as f:
            f.write(repr(sets))

    all_groups = {}
    print('%-9s %-10s %6s %8s %8s' % ('set', 'protocol', 'presses', 'median', 'worst'))
    for name, files in sets.items():
        groups, missing = measure(decode, files)
        for group in sorted(groups):
            values = groups[group]
            all_groups.setdefault(group, []).extend(values)
            print('%-9s %-10s %6d %8.2f %8.2f' % (name, group, len(values),
                                                  statistics.median(values), max(values)))
        if missing:
            print('%-9s %d of %d recordings without an exact code' % (name, len(missing), len(files)))
    print('\nall sets: ms from the first frame\'s last edge to the report')
    worst_named = 0.0
    for group in sorted(all_groups, key=lambda g: (g not in NAMED, g)):
        values = all_groups[group]
        print('%-10s %6d %8.2f %8.2f%s' % (group, len(values), statistics.median(values),
                                           max(values), '' if group in NAMED else '  (not named)'))
        if group in NAMED:
            worst_named = max(worst_named, max(values))
    print('worst of the named protocols: %.2f ms' % worst_named)
    if not args.keep:
        subprocess.run(['rm', '-rf', out])
    return 0


if __name__ == '__main__':
    sys.exit(main())
