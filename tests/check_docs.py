#!/usr/bin/env python3
"""The documentation holds together.

- Every relative link and image in README.md and docs/*.md names a file that exists, and its
  #anchor a heading of that page (anchors as GitHub makes them).
- Every option a program's --help prints appears in the user guide, and the guide names the
  program.

usage: check_docs.py SOURCE_DIR PROGRAM...
"""
import re
import subprocess
import sys
from pathlib import Path

FENCE = re.compile(r"^(```|~~~)")
INLINE_CODE = re.compile(r"`[^`\n]*`")
LINK = re.compile(r"\]\(([^)\s]+)(?:\s+\"[^\"]*\")?\)")
HEADING = re.compile(r"^#{1,6}\s+(.*?)\s*#*\s*$")
OPTION = re.compile(r"--[a-z][a-z0-9-]*")


def prose_lines(text):
    """The page's lines outside fenced code blocks, without inline code spans."""
    inside = False
    for line in text.splitlines():
        if FENCE.match(line.lstrip()):
            inside = not inside
            continue
        if not inside:
            yield INLINE_CODE.sub("", line)


def slug(heading):
    """GitHub's anchor of a heading: lower case, punctuation dropped, blanks made '-'."""
    text = re.sub(r"<[^>]+>", "", heading).lower()
    text = re.sub(r"[^\w\- ]", "", text)
    return text.replace(" ", "-")


def raw_headings(page):
    """Headings read with their code spans (prose_lines drops those)."""
    inside = False
    for line in page.read_text(encoding="utf-8").splitlines():
        if FENCE.match(line.lstrip()):
            inside = not inside
        elif not inside and HEADING.match(line):
            yield line


def page_anchors(page):
    found = {}
    result = set()
    for line in raw_headings(page):
        base = slug(HEADING.match(line).group(1).replace("`", ""))
        count = found.get(base, 0)
        found[base] = count + 1
        result.add(base if count == 0 else f"{base}-{count}")
    return result


def check_links(source):
    problems = []
    pages = [source / "README.md"] + sorted((source / "docs").glob("*.md"))
    for page in pages:
        shown = page.relative_to(source)
        for number, line in enumerate(prose_lines(page.read_text(encoding="utf-8")), 1):
            for target in LINK.findall(line):
                if re.match(r"^[a-z][a-z0-9+.-]*:", target):
                    continue  # http:, https:, mailto: ... are not checked here
                path, _, anchor = target.partition("#")
                file = page if path == "" else (page.parent / path).resolve()
                if not file.exists():
                    problems.append(f"{shown}: '{target}': {path} does not exist")
                    continue
                if anchor:
                    if file.suffix != ".md":
                        problems.append(f"{shown}: '{target}': {path} is no Markdown page")
                    elif anchor not in page_anchors(file):
                        problems.append(f"{shown}: '{target}': no heading makes #{anchor}")
    return problems


def check_options(source, programs):
    problems = []
    guide = (source / "docs" / "user-guide.md").read_text(encoding="utf-8")
    if not programs:
        problems.append("no programs given")
    for program in programs:
        name = Path(program).name
        run = subprocess.run([program, "--help"], capture_output=True, text=True, check=False)
        if run.returncode != 0:
            problems.append(f"{name} --help ended with {run.returncode}")
            continue
        options = sorted(set(OPTION.findall(run.stdout)))
        if not options:
            problems.append(f"{name} --help names no option")
        if not re.search(rf"(?<![\w-]){re.escape(name)}(?![\w-])", guide):
            problems.append(f"the user guide does not name {name}")
        for option in options:
            if not re.search(rf"{re.escape(option)}(?![\w-])", guide):
                problems.append(f"the user guide lacks {name} {option}")
    return problems


def main():
    if len(sys.argv) < 2:
        print(__doc__, file=sys.stderr)
        return 2
    source = Path(sys.argv[1]).resolve()
    problems = check_links(source) + check_options(source, sys.argv[2:])
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
