#!/usr/bin/env python3
"""The folders of the tree as a graph: one arrow from folder A to folder B for every
#include "..." in A's sources that names a file in B.

    scripts/folder-graph.py [ROOT] [--depth N] [-v]   print the arrows, cycles marked
    scripts/folder-graph.py [ROOT] --check            exit 1 when any folders form a cycle

A folder is the first N parts of a file's path (default 1: app, shell, ...). Sources of
tests/, bench/, fuzz/ and tools/ may include anything and are left out. An include names a
file by its path's end, as the build's include folders resolve it; of two files with that
name, the one beside the including file wins. --check looks at depths 1 to 3: a folder lies
below everything that uses it, and a core/ library below the widgets beside it.
"""
import argparse
import collections
import os
import re
import sys

SKIPPED_DIRS = {".git", "out"}
TOP_LEVEL_USERS = ("tests", "bench", "fuzz", "tools")
INCLUDE = re.compile(r'\s*#\s*include\s*"([^"]+)"')


def sources(root):
    by_name = collections.defaultdict(list)
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if d not in SKIPPED_DIRS and not d.startswith("build")]
        for name in files:
            if name.endswith((".cpp", ".h")):
                by_name[name].append(os.path.relpath(os.path.join(folder, name), root))
    return by_name


def folder_of(path, depth):
    parts = path.split("/")[:-1]
    return "/".join(parts[:depth]) if parts else "."


def arrows(root, depth):
    """(from, to) -> list of 'file -> included file'."""
    by_name = sources(root)
    found = collections.defaultdict(list)
    for paths in by_name.values():
        for path in paths:
            if path.startswith(TOP_LEVEL_USERS):
                continue
            with open(os.path.join(root, path), errors="replace") as text:
                for line in text:
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    included = match.group(1)
                    candidates = by_name.get(os.path.basename(included), [])
                    candidates = [c for c in candidates if c.endswith(included)] or candidates
                    if not candidates:
                        continue
                    here = os.path.dirname(path)
                    target = sorted(candidates, key=lambda c: os.path.dirname(c) != here)[0]
                    a, b = folder_of(path, depth), folder_of(target, depth)
                    if a != b:
                        found[(a, b)].append(path + " -> " + target)
    return found


def cycles(edges):
    """Groups of folders that reach each other (Tarjan's strongly connected components)."""
    graph = collections.defaultdict(set)
    for a, b in edges:
        graph[a].add(b)
        graph.setdefault(b, set())
    index, low, on_stack, stack, groups = {}, {}, set(), [], []

    def visit(node):
        index[node] = low[node] = len(index)
        stack.append(node)
        on_stack.add(node)
        for nxt in sorted(graph[node]):
            if nxt not in index:
                visit(nxt)
                low[node] = min(low[node], low[nxt])
            elif nxt in on_stack:
                low[node] = min(low[node], index[nxt])
        if low[node] == index[node]:
            group = []
            while True:
                member = stack.pop()
                on_stack.discard(member)
                group.append(member)
                if member == node:
                    break
            if len(group) > 1:
                groups.append(sorted(group))

    for node in sorted(graph):
        if node not in index:
            visit(node)
    return groups


def report(root, depth, verbose):
    edges = arrows(root, depth)
    groups = cycles(edges)
    in_cycle = {f for g in groups for f in g}
    for (a, b), examples in sorted(edges.items()):
        marked = a in in_cycle and b in in_cycle and any(a in g and b in g for g in groups)
        print(f"{a:20} -> {b:20} {len(examples):3} {'CYCLE' if marked else ''}")
        if marked and verbose:
            for example in examples[:5]:
                print("       " + example)
    return edges, groups


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("root", nargs="?", default=os.path.join(os.path.dirname(__file__), ".."))
    parser.add_argument("--depth", type=int, default=1)
    parser.add_argument("-v", action="store_true", help="name the includes of each cycle")
    parser.add_argument("--check", action="store_true", help="fail on a cycle at depth 1 to 3")
    args = parser.parse_args()
    root = os.path.abspath(args.root)
    if not args.check:
        report(root, args.depth, args.v)
        return 0
    failed = False
    for depth in (1, 2, 3):
        edges = arrows(root, depth)
        for group in cycles(edges):
            failed = True
            print(f"depth {depth}: the folders {', '.join(group)} include each other:")
            for (a, b), examples in sorted(edges.items()):
                if a in group and b in group:
                    print(f"    {a} -> {b} ({len(examples)}), such as {examples[0]}")
    if not failed:
        print("no folder includes back up")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
