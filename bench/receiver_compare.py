#!/usr/bin/env python3
"""Compares koru-decode with the receiver model line by line.

Recordings: every built-in key made with koru-encode (one press, and held with --hold 6), and,
when LIRC's irsimsend and the lirc-compat-remotes configurations are installed, up to 12 keys
of every configuration irsimsend can send (one press, and held: -c 10). Each set is replayed
as one recording (files joined with koru-decode's gap), through both evaluations, and compared
with the model's output for the same evaluation:

  bench/receiver_compare.py [--build build/default] [--model DIR] [--keep DIR]

The model is not part of this repository: --model names its folder (default: $KORU_RECEIVER_MODEL,
else ../shared/receiver-model beside the repository). Exit status 0 when every line agrees.
Also prints, per set, how many presses the burst evaluation reports on their first frame and
how the classic evaluation fares on the same recordings, and how many held presses report their
key more than once. The model drops the repeat frames a held key sends without data (NEC's
2.25 ms lead-in): the burst evaluation's lines that report the held key again are counted apart
("repeats the model does not report"), not as lines that differ.
"""
import argparse
import os
import re
import subprocess
import sys
import tempfile

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
MODEL_EVALUATION = {'burst': ['koru_fg.py', '--variant', 'V6f-emu15'], 'classic': ['koru_ref.py']}
LIRC_REMOTES = '/usr/share/lirc/remotes'
EXACT = re.compile(r' exact=\S+$')


def run(args, cwd=None):
    return subprocess.run(args, cwd=cwd, check=True, stdout=subprocess.PIPE,
                          stderr=subprocess.DEVNULL, text=True).stdout


def builtin_sets(build, out):
    """One file per key: {'press': [...], 'held': [...]}."""
    keys = run([os.path.join(build, 'bench', 'receiver_keys')]).splitlines()
    encode = os.path.join(build, 'tools', 'koru-encode', 'koru-encode')
    sets = {'press': [], 'held': []}
    for i, line in enumerate(dict.fromkeys(keys)):
        remote, label = line.split('\t')
        for kind, extra in (('press', []), ('held', ['--hold', '6'])):
            path = os.path.join(out, 'builtin-%04d-%s.mode2' % (i, kind))
            result = subprocess.run([encode, remote, label] + extra, stdout=subprocess.PIPE,
                                    stderr=subprocess.DEVNULL, text=True)
            if result.returncode != 0:
                break  # a code this family cannot send
            with open(path, 'w') as f:
                f.write(result.stdout)
            sets[kind].append(path)
    return sets


def config_keys(path, limit):
    """The first `limit` key names of a lircd.conf."""
    names = []
    in_codes = False
    with open(path, encoding='latin-1') as f:
        for raw in f:
            line = raw.split('#', 1)[0].strip()
            if re.match(r'begin\s+(raw_)?codes', line):
                in_codes = True
            elif re.match(r'end\s+(raw_)?codes', line):
                in_codes = False
            elif in_codes and line:
                words = line.split()
                name = words[1] if words[0] == 'name' and len(words) > 1 else words[0]
                if words[0] == 'name' or (len(words) >= 2 and words[1].startswith('0x')):
                    if name not in names:
                        names.append(name)
            if len(names) >= limit:
                break
    return names


def is_mode2(path):
    with open(path, encoding='latin-1') as f:
        first = f.readline().split()
    return bool(first) and first[0] in ('pulse', 'space')


def lirc_sets(out, limit=12):
    sets = {'press': [], 'held': []}
    if not os.path.isdir(LIRC_REMOTES) or subprocess.run(['which', 'irsimsend'],
                                                       stdout=subprocess.DEVNULL).returncode:
        return sets, 0
    configs = 0
    for folder, _, files in sorted(os.walk(LIRC_REMOTES)):
        for name in sorted(files):
            if 'lircd.conf' not in name:
                continue
            conf = os.path.join(folder, name)
            made = False
            for k, key in enumerate(config_keys(conf, limit)):
                for kind, count in (('press', '1'), ('held', '10')):
                    work = tempfile.mkdtemp(dir=out)
                    result = subprocess.run(['irsimsend', '-k', key, '-c', count, conf], cwd=work,
                                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
                    sim = os.path.join(work, 'simsend.out')
                    if result.returncode or not os.path.exists(sim) or not is_mode2(sim):
                        break  # no timings (configurations of devices that send codes)
                    path = os.path.join(out, 'lirc-%s-%02d-%s.mode2' % (name, k, kind))
                    os.rename(sim, path)
                    sets[kind].append(path)
                    made = True
            configs += made
    return sets, configs


def report_text(line):
    """A report line without its time."""
    return line.split(' ', 1)[1]


def line_time(line):
    return float(line.split(' ', 1)[0])


# The burst evaluation reports a held key's repeat frame when it ends at most this long after
# the key's last report (milliseconds).
HELD_REPEAT = 400


def without_repeats(ours, theirs):
    """Ours (with exact codes) and the model's lines without what only one of them reports for
    a held key's repeat frames (the model drops them): our lines that report the held key again
    and the model's no-code lines that its walls give meanwhile. Returns both lists, the exact
    codes taken off, and how many lines of each were left out."""
    kept, theirs_kept = [], []
    repeats = no_codes = 0
    last = None  # (text with exact code, time) of our last report with a code
    holding = False  # our last report with a code has been repeated
    i = j = 0
    while i < len(ours):
        line = ours[i]
        plain = EXACT.sub('', line)
        if j < len(theirs) and report_text(theirs[j]) == report_text(plain) and \
                abs(line_time(line) - line_time(theirs[j])) <= 25:
            pass  # the model's line
        elif (' type=0 ' not in line and last and report_text(line) == last[0] and
              line_time(line) - last[1] <= HELD_REPEAT):
            repeats += 1
            holding = True
            last = (last[0], line_time(line))
            i += 1
            continue
        elif holding and j < len(theirs) and report_text(theirs[j]).endswith('blink="-"'):
            no_codes += 1
            j += 1
            continue
        kept.append(plain)
        if j < len(theirs):
            theirs_kept.append(theirs[j])
        if ' type=0 ' not in line:
            last = (report_text(line), line_time(line))
            holding = False
        i += 1
        j += 1
    return kept, theirs_kept + theirs[j:], repeats, no_codes


def compare(name, files, build, model):
    decode = os.path.join(build, 'tools', 'koru-decode', 'koru-decode')
    agree = True
    for evaluation, script in MODEL_EVALUATION.items():
        # The model knows classic codes only: the exact code at the end of a line is not compared.
        ours = run([decode, '--evaluation', evaluation] + files).splitlines()
        theirs = run([sys.executable, os.path.join(model, script[0])] + script[1:] +
                     files).splitlines()
        lines = len(ours)
        repeats = no_codes = 0
        if evaluation == 'burst':
            ours, theirs, repeats, no_codes = without_repeats(ours, theirs)
        else:
            ours = [EXACT.sub('', line) for line in ours]
        differing = [i for i in range(max(len(ours), len(theirs)))
                     if i >= len(ours) or i >= len(theirs) or ours[i] != theirs[i]]
        # A long frame the model reports at its 67th period is reported when it has ended, so
        # that its exact code is read whole: the same line, a few milliseconds later.
        later = [i for i in differing if i < len(ours) and i < len(theirs) and
                 report_text(ours[i]) == report_text(theirs[i]) and
                 0 < line_time(ours[i]) - line_time(theirs[i]) <= 25]
        differing = [i for i in differing if i not in set(later)]
        verdict = 'identical' if not differing else '%d lines differ' % len(differing)
        if later:
            verdict += ', %d lines later by up to %.1f ms' % (len(later), max(
                line_time(ours[i]) - line_time(theirs[i]) for i in later))
        if repeats:
            verdict += ', %d lines are repeats the model does not report' % repeats
        if no_codes:
            verdict += ', %d no-code lines of the model fall on repeated keys' % no_codes
        print('%-14s %-8s %5d files %6d lines  %s' % (
            name, evaluation, len(files), lines, verdict))
        for i in differing[:5]:
            print('   ours:  %s' % (ours[i] if i < len(ours) else '(none)'))
            print('   model: %s' % (theirs[i] if i < len(theirs) else '(none)'))
        agree = agree and not differing and (evaluation == 'burst' or not later)
    return agree


def reports_per_file(files, build, evaluation):
    """The reports with a code of each file replayed alone."""
    decode = os.path.join(build, 'tools', 'koru-decode', 'koru-decode')
    return [sum(1 for l in run([decode, '--evaluation', evaluation, f]).splitlines()
                if ' type=' in l and ' type=0 ' not in l) for f in files]


def first_frame_counts(name, files, build):
    """Presses reported at least once when each file is replayed alone."""
    for evaluation in ('burst', 'classic'):
        reported = sum(1 for n in reports_per_file(files, build, evaluation) if n)
        print('%-14s %-8s %d of %d presses reported' % (name, evaluation, reported, len(files)))


def held_counts(name, files, build):
    """Held presses that report their key more than once when each file is replayed alone."""
    for evaluation in ('burst', 'classic'):
        again = sum(1 for n in reports_per_file(files, build, evaluation) if n > 1)
        print('%-14s %-8s %d of %d held presses reported more than once' % (
            name, evaluation, again, len(files)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split('\n')[0])
    parser.add_argument('--build', default=os.path.join(ROOT, 'build', 'default'))
    parser.add_argument('--model', default=os.environ.get(
        'KORU_RECEIVER_MODEL', os.path.join(os.path.dirname(ROOT), 'shared', 'receiver-model')))
    parser.add_argument('--keep', help='write the recordings here (kept)')
    args = parser.parse_args()
    if not os.path.exists(os.path.join(args.model, 'koru_fg.py')):
        sys.exit('no receiver model in %s (use --model)' % args.model)
    out = args.keep or tempfile.mkdtemp(prefix='koru-compare-')
    os.makedirs(out, exist_ok=True)

    agree = True
    builtin = builtin_sets(args.build, out)
    lirc, configs = lirc_sets(out)
    print('recordings: %d built-in keys; %d keys of %d LIRC configurations' % (
        len(builtin['press']), len(lirc['press']), configs))
    for name, sets in (('built-in', builtin), ('lirc', lirc)):
        for kind in ('press', 'held'):
            if sets[kind]:
                agree = compare('%s %s' % (name, kind), sets[kind], args.build, args.model) and agree
        if sets['press']:
            first_frame_counts('%s press' % name, sets['press'], args.build)
        if sets['held']:
            held_counts('%s held' % name, sets['held'], args.build)
    if not args.keep:
        subprocess.run(['rm', '-rf', out])
    return 0 if agree else 1


if __name__ == '__main__':
    sys.exit(main())
