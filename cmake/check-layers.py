#!/usr/bin/env python3
"""Holds the #include lines of the program's sources to its layers.

From the bottom up: platform (with the resources the portable platform serves), runtime,
objects, puzzle, ui, program. A file may include files of its own layer and of the layers
below it. Fails (exit 1), naming each offence, on an include from a lower layer into a
higher one and on any include circle between units (a unit is a .h/.cpp pair) of different
layers. Usage: check-layers.py [--root DIR]
"""
import argparse
import os
import re
import sys

LAYERS = ["platform", "runtime", "objects", "puzzle", "ui", "program"]
# Folders that belong to a layer without being named after it.
FOLDER_LAYER = {"resources": "platform"}
SOURCE_SUFFIXES = (".h", ".cpp", ".inc")
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    top = path.split("/", 1)[0]
    top = FOLDER_LAYER.get(top, top)
    return top if top in LAYERS else None


def unit_of(path):
    return os.path.splitext(path)[0]


def sources(root):
    for top in sorted(set(LAYERS) | set(FOLDER_LAYER)):
        base = os.path.join(root, top)
        for folder, _, names in os.walk(base):
            for name in sorted(names):
                if name.endswith(SOURCE_SUFFIXES):
                    yield os.path.relpath(os.path.join(folder, name), root).replace(os.sep, "/")


def include_edges(root):
    """(including file, line number, included file) for every include of a file in the tree."""
    for path in sources(root):
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as text:
            for number, line in enumerate(text, 1):
                match = INCLUDE.match(line)
                if match and layer_of(match.group(1)) and os.path.exists(
                        os.path.join(root, match.group(1))):
                    yield path, number, match.group(1)


def circles(graph):
    """Strongly connected components of more than one unit (Tarjan, iterative)."""
    index, low, on_stack, stack, found = {}, {}, set(), [], []
    counter = 0
    for start in sorted(graph):
        if start in index:
            continue
        work = [(start, iter(sorted(graph[start])))]
        index[start] = low[start] = counter
        counter += 1
        stack.append(start)
        on_stack.add(start)
        while work:
            node, children = work[-1]
            child = next(children, None)
            if child is not None:
                if child not in index:
                    index[child] = low[child] = counter
                    counter += 1
                    stack.append(child)
                    on_stack.add(child)
                    work.append((child, iter(sorted(graph.get(child, ())))))
                elif child in on_stack:
                    low[node] = min(low[node], index[child])
                continue
            work.pop()
            if work:
                low[work[-1][0]] = min(low[work[-1][0]], low[node])
            if low[node] == index[node]:
                component = []
                while True:
                    member = stack.pop()
                    on_stack.discard(member)
                    component.append(member)
                    if member == node:
                        break
                if len(component) > 1:
                    found.append(sorted(component))
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--root", default=os.path.join(os.path.dirname(__file__), ".."))
    root = parser.parse_args().root
    offences = []
    graph = {}
    for path, number, included in include_edges(root):
        here, there = layer_of(path), layer_of(included)
        if LAYERS.index(there) > LAYERS.index(here):
            offences.append(f"{path}:{number}: {here} includes {included} of the higher "
                            f"layer {there}")
        if unit_of(path) != unit_of(included):
            graph.setdefault(unit_of(path), set()).add(unit_of(included))
    for component in circles(graph):
        if len({layer_of(unit) for unit in component}) > 1:
            offences.append("include circle across layers: " + " -> ".join(component))
    for offence in offences:
        print(offence)
    units = len({unit_of(path) for path in sources(root)})
    print(f"layers: {units} units checked, {len(offences)} offences")
    return 1 if offences else 0


if __name__ == "__main__":
    sys.exit(main())
