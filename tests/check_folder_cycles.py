#!/usr/bin/env python3
"""Fails when folders of src/ and tools/ include each other in a cycle.

A folder depends on another when one of its files includes a file of the other. The windows
depend on the toolkit and the core, the application on the windows; a cycle means a folder can
no longer be read, built or tested without the ones above it.
Usage: check_folder_cycles.py SOURCE_ROOT
"""
import os
import re
import sys
from collections import defaultdict

INCLUDE = re.compile(r'\s*#\s*include\s+"([^"]+)"')


def folder_graph(root):
    """Edges folder -> folders it includes, with one example include for each edge."""
    edges = defaultdict(dict)
    for top in ("src", "tools"):
        base = os.path.join(root, top)
        for directory, _, files in os.walk(base):
            for name in sorted(files):
                if not name.endswith((".h", ".cpp")):
                    continue
                path = os.path.join(directory, name)
                source = os.path.relpath(directory, base)
                with open(path, encoding="utf-8", errors="replace") as text:
                    for line in text:
                        match = INCLUDE.match(line)
                        if not match:
                            continue
                        included = match.group(1)
                        target = os.path.dirname(included)
                        if not target or target == source:
                            continue
                        if not os.path.exists(os.path.join(root, "src", included)):
                            continue
                        edges[source].setdefault(target, os.path.relpath(path, root) + " includes " + included)
    return edges


def cycles(edges):
    """The strongly connected groups of more than one folder (Tarjan)."""
    index, low, stack, on_stack, found = {}, {}, [], set(), []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for other in edges.get(node, {}):
            if other not in index:
                visit(other)
                low[node] = min(low[node], low[other])
            elif other in on_stack:
                low[node] = min(low[node], index[other])
        if low[node] == index[node]:
            group = []
            while True:
                other = stack.pop()
                on_stack.discard(other)
                group.append(other)
                if other == node:
                    break
            if len(group) > 1:
                found.append(sorted(group))

    nodes = set(edges) | {target for targets in edges.values() for target in targets}
    for node in sorted(nodes):
        if node not in index:
            visit(node)
    return found


def main():
    root = sys.argv[1]
    edges = folder_graph(root)
    if not edges:
        print("no includes found under " + root)
        return 1
    found = cycles(edges)
    for group in found:
        print("folders include each other: " + ", ".join(group))
        for source in group:
            for target, example in sorted(edges[source].items()):
                if target in group:
                    print("  " + example)
    if found:
        return 1
    print(f"{len(edges)} folders, no include cycle")
    return 0


if __name__ == "__main__":
    sys.exit(main())
