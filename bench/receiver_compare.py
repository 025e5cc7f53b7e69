#!/usr/bin/env python3
"""Compares koru-decode with the receiver model line by line.

Recordings: every built-in key made with koru-encode (one press, and held with --hold 6), and,
when LIRC's irsimsend and the lirc-compat-remotes configurations are installed, up to 12 keys
of every configuration irsimsend can send (one press, and held: -c 10). Each set is replayed
as one recording (files joined with koru-decode's gap), through both evaluations, and compared
with the model's output for the same evaluation:

  bench/receiver_compare.py [--build build/default] [--model DIR] [--keep DIR]

The model is not part of this repository: --model names its folder (default: $KORU_RECEIVER_MODEL,
else ../shared/receiver-model beside the repository). Exit status 0 when every line agrees
(burst lines may come up to 25 ms later: a frame longer than 32 bits is reported at its end; or
up to 15 ms earlier: a frame of a named protocol is reported when it is whole, the model waits
for the quiet that ends the burst).
Also prints, per set, how many presses the burst evaluation reports on their first frame and
how the classic evaluation fares on the same recordings, and how many held presses report their
key more than once. The model drops the repeat frames a held key sends without data (NEC's
2.25 ms lead-in): the burst evaluation's lines that report the held key again are counted apart
("repeats the model does not report"), as are the model's no-code lines among them, not as
lines that differ.
"""
import argparse
import difflib
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


# The burst evaluation reports a held key's repeat frame when it ends at most this long after
# the key's last report (milliseconds).
HELD_REPEAT = 450


def report_text(line):
    """A report line without its time."""
    return line.split(' ', 1)[1] if ' ' in line else line


def line_time(line):
    return float(line.split(' ', 1)[0])


def without_held_repeats(ours, theirs):
    """What only one side reports of a held key, taken out of both: our lines (with exact codes)
    that the model lacks and that report the key of our last report again within HELD_REPEAT of
    it, as a held key's repeat frame does, and the model's no-code lines from the key's first
    report to our next line after its repeats (the model's walls count the repeat frames it
    drops). Returns both lists and how many lines of each were taken out."""
    model_times = {}
    for line in theirs:
        model_times.setdefault(report_text(line), []).append(line_time(line))
    kept = []
    spans = []  # [first report, last repeat, our next line] of each held key
    last = None  # (text, time) of the last report with a code
    for line in ours:
        coded = ' type=0 ' not in line
        time = line_time(line)
        if coded and last and report_text(line) == last[0] and time - last[1] <= HELD_REPEAT and \
                not any(abs(time - t) <= 25
                        for t in model_times.get(report_text(EXACT.sub('', line)), [])):
            if spans and spans[-1][1] == last[1]:
                spans[-1][1] = time
            else:
                spans.append([last[1], time, None])
            last = (last[0], time)
            continue
        kept.append(line)
        if spans and spans[-1][2] is None:
            spans[-1][2] = time
        if coded:
            last = (report_text(line), time)
    held = [(first, end if end is not None else repeat + 3 * HELD_REPEAT)
            for first, repeat, end in spans]
    theirs_kept = [line for line in theirs if not (
        line.endswith(' blink="-"') and any(first <= line_time(line) < end for first, end in held))]
    return kept, theirs_kept, len(ours) - len(kept), len(theirs) - len(theirs_kept)


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
            ours, theirs, repeats, no_codes = without_held_repeats(ours, theirs)
        ours = [EXACT.sub('', line) for line in ours]
        held = []
        if repeats:
            held.append('%d lines are repeats the model does not report' % repeats)
        if no_codes:
            held.append('%d no-code lines of the model fall on held keys' % no_codes)
        if ours == theirs:
            print('%-14s %-8s %5d files %6d lines  %s' % (
                name, evaluation, len(files), lines, ', '.join(['identical'] + held)))
            continue
        agree = agree and evaluation == 'burst'
        # A long frame the model reports at its 67th period is reported when it has ended, so
        # that its exact code is read whole: the same line, a few milliseconds later. A frame of
        # a named protocol is reported when it is whole, before the burst end the model waits
        # for: the same line, up to 15 ms earlier. Lines are paired by their contents without
        # the time; what is left over differs.
        text = lambda line: line.split(' ', 1)[1] if ' ' in line else line
        matcher = difflib.SequenceMatcher(None, [text(l) for l in ours],
                                          [text(l) for l in theirs], autojunk=False)
        later = []
        earlier = []
        other = []
        for tag, i1, i2, j1, j2 in matcher.get_opcodes():
            if tag != 'equal':
                other.append((ours[i1:i2], theirs[j1:j2]))
                continue
            for i, j in zip(range(i1, i2), range(j1, j2)):
                if ours[i] != theirs[j]:
                    shift = float(ours[i].split(' ', 1)[0]) - float(theirs[j].split(' ', 1)[0])
                    if 0 < shift <= 25:
                        later.append(shift)
                    elif -15 <= shift < 0:
                        earlier.append(-shift)
                    else:
                        other.append(([ours[i]], [theirs[j]]))
        verdict = []
        if later:
            verdict.append('%d lines later by up to %.1f ms' % (len(later), max(later)))
        if earlier:
            verdict.append('%d lines earlier by up to %.1f ms' % (len(earlier), max(earlier)))
        only_ours = sum(len(o) for o, _ in other)
        only_model = sum(len(t) for _, t in other)
        if other:
            verdict.append('%d lines only ours, %d only the model\'s' % (only_ours, only_model))
        print('%-14s %-8s %5d files %6d lines  %s' % (
            name, evaluation, len(files), lines, ', '.join((verdict or ['identical']) + held)))
        for o, t in other[:5]:
            for line in o:
                print('   ours:  %s' % line)
            for line in t:
                print('   model: %s' % line)
        agree = agree and not other
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
