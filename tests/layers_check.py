#!/usr/bin/env python3
# SPDX-FileCopyrightText: 2026 The Quillery developers
# SPDX-License-Identifier: GPL-3.0-or-later
"""Checks that the source tree keeps its layers: a file includes only its own
layer and the ones below it, no two files include each other in a loop, and
only the operating-system layer includes the systems' own headers."""
import pathlib
import re
import sys

LAYERS = ["platform", "base", "roster", "generate", "list", "gui", "cli"]
# The two programs stand side by side: neither includes the other.
RANK = {name: min(rank, 5) for rank, name in enumerate(LAYERS)}
SYSTEM_HEADER = re.compile(r'#\s*include\s*<(unistd\.h|windows\.h|fcntl\.h|io\.h|sys/[^>]*)>')
LOCAL_HEADER = re.compile(r'#\s*include\s*"([^"]+)"')

root = pathlib.Path(sys.argv[1])
faults = []
graph = {}
for layer in LAYERS:
    for path in sorted((root / layer).rglob("*")):
        if path.suffix not in (".h", ".cpp"):
            continue
        name = path.relative_to(root).as_posix()
        text = path.read_text(encoding="utf-8")
        if layer != "platform" and SYSTEM_HEADER.search(text):
            faults.append(f"{name} includes a system header; only platform/ may")
        unit = name.rsplit(".", 1)[0]
        for included in LOCAL_HEADER.findall(text):
            target = included if "/" in included else f"{layer}/{included}"
            target_layer = target.split("/", 1)[0]
            if target_layer not in RANK:
                continue
            if RANK[target_layer] > RANK[layer] or (RANK[target_layer] == 5 and target_layer != layer):
                faults.append(f"{name} includes {target}, from a layer above its own")
            target_unit = target.rsplit(".", 1)[0]
            if target_unit != unit:
                graph.setdefault(unit, set()).add(target_unit)


def find_loop(start):
    stack, on_path = [(start, iter(sorted(graph.get(start, ()))))], [start]
    while stack:
        node, children = stack[-1]
        child = next(children, None)
        if child is None:
            stack.pop()
            on_path.pop()
        elif child == start:
            return on_path + [start]
        elif child not in on_path:
            stack.append((child, iter(sorted(graph.get(child, ())))))
            on_path.append(child)
    return None


for unit in sorted(graph):
    loop = find_loop(unit)
    if loop and unit == min(loop[:-1]):
        faults.append("files include each other in a loop: " + " -> ".join(loop))

for fault in faults:
    print(fault)
print(f"{len(graph)} files include others; {len(faults)} faults")
sys.exit(1 if faults else 0)
