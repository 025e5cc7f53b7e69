#!/usr/bin/env python3
"""Gives every four-letter message code a name and makes every use go through it.

Reads scripts/house/message_names.tsv (code, constant, header, comment) under ROOT and
  1. writes each header of the table: `#pragma once`, why it exists, one constant per code;
  2. replaces every FourCC("xxxx") in src/, tools/, bench/ and tests/ by the code's constant
     and includes the header that defines it, sorted into the file's block of project includes;
  3. deletes named definitions of a table code found elsewhere (they become includes);
  4. codes whose header is "local" (codes of tests only) are defined by each test file that
     uses them, after its includes.
Running it again changes nothing. Codes not in the table are left as they are and listed.
Usage: name_messages.py ROOT
"""
import os
import re
import sys

TABLE = os.path.join("scripts", "house", "message_names.tsv")
TOPS = ("src", "tools", "bench", "tests")
SUFFIXES = (".h", ".cpp", ".cc", ".hpp")
LITERAL = re.compile(r'FourCC\("((?:[^"\\]|\\.){4})"\)')
DEFINITION = re.compile(
    r'^[ \t]*(?:inline\s+|static\s+)*constexpr\s+[\w:]+\s+(k\w+)\s*=\s*FourCC\("((?:[^"\\]|\\.){4})"\);.*\n?',
    re.M)
QUOTED_INCLUDE = re.compile(r'#include "([^"]+)"')
TYPE_HEADER = "platform/messaging/type_codes.h"


class Code:
    def __init__(self, code, name, header, comment):
        self.code, self.name, self.header, self.comment = code, name, header, comment


def read_table(root):
    codes, purposes = {}, {}
    with open(os.path.join(root, TABLE), encoding="utf-8") as table:
        for number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line or line.startswith("#"):
                continue
            fields = line.split("\t")
            if len(fields) != 4:
                sys.exit(f"{TABLE}:{number}: four fields wanted, tab-separated")
            code, name, header, comment = fields
            if code == "*":
                purposes[header] = comment
                continue
            if len(code) != 4 or code in codes:
                sys.exit(f"{TABLE}:{number}: '{code}' is no new four-letter code")
            codes[code] = Code(code, name, header, comment)
    names = [c.name for c in codes.values()]
    doubled = {n for n in names if names.count(n) > 1}
    if doubled:
        sys.exit(f"{TABLE}: names used twice: {', '.join(sorted(doubled))}")
    for header in {c.header for c in codes.values()} - {"local"}:
        if header not in purposes:
            sys.exit(f"{TABLE}: no '*' row says why {header} exists")
    return codes, purposes


def wrap_comment(text, indent=""):
    """// lines of at most 100 columns."""
    lines, line = [], indent + "//"
    for word in text.split():
        if len(line) + 1 + len(word) > 100 and line != indent + "//":
            lines.append(line)
            line = indent + "//"
        line += " " + word
    lines.append(line)
    return "\n".join(lines) + "\n"


def header_text(header, purpose, codes):
    kind = "type_code" if header == TYPE_HEADER else "uint32_t"
    text = "#pragma once\n" + wrap_comment(purpose)
    if kind == "uint32_t":
        text += "#include <cstdint>\n\n"
    text += '#include "platform/messaging/four_cc.h"\n'
    for code in codes:
        text += "\n" + wrap_comment(code.comment[:1].upper() + code.comment[1:])
        text += f'inline constexpr {kind} {code.name} = FourCC("{code.code}");\n'
    return text


def write_headers(root, codes, purposes):
    written = set()
    for header, purpose in purposes.items():
        members = [c for c in codes.values() if c.header == header]
        if not members:
            continue
        path = os.path.join(root, "src", header)
        text = header_text(header, purpose, members)
        old = open(path, encoding="utf-8").read() if os.path.exists(path) else None
        if old != text:
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w", encoding="utf-8") as out:
                out.write(text)
            print(("updated " if old is not None else "wrote ") + os.path.join("src", header))
        written.add(os.path.normpath(path))
    return written


def add_include(text, header):
    line = f'#include "{header}"'
    if line in text:
        return text
    lines = text.split("\n")
    project = [i for i, l in enumerate(lines)
               if (m := QUOTED_INCLUDE.match(l)) and "/" in m.group(1)]
    if project:
        # The longest run of project includes (the last of equal ones) is the project block.
        runs, start = [], project[0]
        for previous, current in zip(project, project[1:] + [None]):
            if current != previous + 1:
                runs.append((start, previous))
                start = current
        first, last = max(runs, key=lambda run: (run[1] - run[0], run[0]))
        at = last + 1
        for i in range(first, last + 1):
            if lines[i] > line:
                at = i
                break
        lines.insert(at, line)
        return "\n".join(lines)
    includes = [i for i, l in enumerate(lines) if l.startswith("#include")]
    if includes:
        lines[includes[-1] + 1:includes[-1] + 1] = ["", line] if lines[includes[-1]].startswith(
            "#include <") else [line]
        return "\n".join(lines)
    # No include at all: after #pragma once and the opening comment.
    at = 0
    while at < len(lines) and (lines[at].startswith("#pragma") or lines[at].startswith("//")):
        at += 1
    lines[at:at] = [line, ""]
    return "\n".join(lines)


def add_local_definitions(text, locals_used):
    """Defines a test's own codes after its includes, once."""
    missing = [c for c in locals_used if not re.search(rf"constexpr\s+\w+\s+{c.name}\s*=", text)]
    if not missing:
        return text
    block = "".join(f'constexpr uint32_t {c.name} = FourCC("{c.code}");\n' for c in missing)
    lines = text.split("\n")
    includes = [i for i, l in enumerate(lines) if l.startswith("#include")]
    at = includes[-1] + 1 if includes else 0
    lines[at:at] = [""] + block.rstrip("\n").split("\n")
    return "\n".join(lines)


def convert(path, rel, codes, unknown, misnamed):
    with open(path, encoding="utf-8") as source:
        text = original = source.read()
    needed, locals_used = set(), []

    def drop_definition(match):
        name, code = match.group(1), match.group(2)
        entry = codes.get(code)
        if entry is None:
            return match.group(0)
        if entry.header == "local":
            return match.group(0)  # a test's own code, defined where the test is
        if name != entry.name:
            misnamed.append(f"{rel}: {name} = '{code}' (the table says {entry.name})")
            return match.group(0)
        needed.add(entry.header)
        return ""

    text = DEFINITION.sub(drop_definition, text)
    kept = {m.start() for m in DEFINITION.finditer(text)}

    def name(match):
        code = codes.get(match.group(1))
        line_start = text.rfind("\n", 0, match.start()) + 1
        if code is None:
            unknown.setdefault(match.group(1), set()).add(rel)
            return match.group(0)
        if line_start in kept and DEFINITION.match(text, line_start):
            return match.group(0)  # the local definition itself
        if code.header == "local":
            if not rel.startswith(("tests/", "bench/")):
                unknown.setdefault(match.group(1), set()).add(rel + " (local code outside tests)")
                return match.group(0)
            if code not in locals_used:
                locals_used.append(code)
        else:
            needed.add(code.header)
        return code.name

    text = LITERAL.sub(name, text)
    for header in sorted(needed):
        text = add_include(text, header)
    if locals_used:
        text = add_local_definitions(text, locals_used)
    if text != original:
        with open(path, "w", encoding="utf-8") as out:
            out.write(text)
        return True
    return False


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    root = sys.argv[1]
    codes, purposes = read_table(root)
    headers = write_headers(root, codes, purposes)
    unknown, misnamed, changed = {}, [], 0
    for top in TOPS:
        for directory, _, files in os.walk(os.path.join(root, top)):
            for file in sorted(files):
                path = os.path.normpath(os.path.join(directory, file))
                if not file.endswith(SUFFIXES) or path in headers:
                    continue
                rel = os.path.relpath(path, root)
                if convert(path, rel, codes, unknown, misnamed):
                    changed += 1
    print(f"{changed} files changed")
    for line in misnamed:
        print("named otherwise, left alone: " + line)
    for code, files in sorted(unknown.items()):
        print(f"not placed: '{code}' in {', '.join(sorted(files))}")
    return 1 if unknown or misnamed else 0


if __name__ == "__main__":
    sys.exit(main())
