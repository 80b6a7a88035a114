#!/usr/bin/env python3
"""Checks the include graph of src/: every file includes only files of its own layer or of
the layers below it, and no two components (a header with its source file) depend on each
other, directly or round a longer loop.

Usage: scripts/check-includes.py SRC_DIR [--graph]
Prints each fault on a line of its own and exits 1 when there is one; --graph also prints
which layer includes which.
"""
import os
import re
import sys

# Bottom first: a layer may include itself and what stands before it here.
LAYERS = ["model", "optics", "render", "output", "ui", "app"]
INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def layer_of(path):
    top = path.split("/", 1)[0]
    return top if top in LAYERS else None


def read_graph(src):
    graph = {}
    for folder, _, names in os.walk(src):
        for name in sorted(names):
            if not name.endswith((".h", ".cpp")):
                continue
            full = os.path.join(folder, name)
            rel = os.path.relpath(full, src).replace(os.sep, "/")
            with open(full, encoding="utf-8", errors="replace") as f:
                graph[rel] = [m.group(1) for m in map(INCLUDE.match, f) if m]
    return graph


def upward_includes(graph):
    faults = []
    for file, includes in sorted(graph.items()):
        own = layer_of(file)
        for inc in includes:
            theirs = layer_of(inc)
            if own and theirs and LAYERS.index(theirs) > LAYERS.index(own):
                faults.append(f"{file}: includes {inc} from the higher layer {theirs}")
    return faults


def components(graph):
    """The include graph between components: x.h and x.cpp are one piece of code."""
    joined = {}
    for file, includes in graph.items():
        own = os.path.splitext(file)[0]
        deps = joined.setdefault(own, [])
        for inc in includes:
            dep = os.path.splitext(inc)[0]
            if dep != own and dep not in deps:
                deps.append(dep)
    return joined


def cycles(graph):
    """Every loop of dependencies, each reported once by the component where the search met
    it."""
    faults = []
    state = {}  # absent: not seen; 1: on the current path; 2: done

    def visit(file, path):
        state[file] = 1
        path.append(file)
        for inc in graph.get(file, []):
            if inc not in graph:
                continue
            if state.get(inc) == 1:
                loop = path[path.index(inc):] + [inc]
                faults.append("dependency loop: " + " -> ".join(loop))
            elif inc not in state:
                visit(inc, path)
        path.pop()
        state[file] = 2

    for file in sorted(graph):
        if file not in state:
            visit(file, [])
    return faults


def layer_graph(graph):
    edges = {}
    for file, includes in graph.items():
        own = layer_of(file)
        for inc in includes:
            theirs = layer_of(inc)
            if own and theirs and own != theirs:
                edges.setdefault(own, set()).add(theirs)
    return edges


def main(argv):
    if len(argv) < 2:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    graph = read_graph(argv[1])
    if not graph:
        print(f"check-includes: no sources under {argv[1]}", file=sys.stderr)
        return 2
    faults = upward_includes(graph) + cycles(components(graph))
    for fault in faults:
        print(fault)
    if "--graph" in argv:
        for own, theirs in sorted(layer_graph(graph).items(), key=lambda e: LAYERS.index(e[0])):
            print(f"{own} -> {', '.join(sorted(theirs, key=LAYERS.index))}")
    print(f"{len(graph)} files, {len(faults)} faults")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
