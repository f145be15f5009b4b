#!/usr/bin/env python3
"""Fails when a source folder includes a folder above it.

The layers, bottom up: the interfaces to the screen, the data files and
dates, the settings store and the session log, the report line model, the
engines, the destinations; then every folder's widgets, and the main window
on top. A folder may include its own headers and those of lower layers only,
so the include graph between folders has no upward arrow and no cycle.

Usage: check-layers.py [PROJECT_ROOT]
"""
import os
import re
import sys

# Rank of each folder under src/; a folder may include only lower ranks.
RANKS = {
    "ui": 0,
    "data": 1,
    "shell": 2,
    "report": 3,
    "analysis": 4,
    "import": 5,
    "basis": 6,
    "grid": 7,
    "chart": 8,
    "prefs": 9,
    "help": 10,
    "ui/widgets": 20,
    "data/widgets": 21,
    "report/widgets": 22,
    "import/widgets": 23,
    "basis/widgets": 24,
    "grid/widgets": 25,
    "chart/widgets": 26,
    "prefs/widgets": 27,
    "help/widgets": 28,
    "shell/widgets": 29,
}
# The front ends: the command line sits on the core alone.
FRONT_ENDS = {"cli": 19, "app": 30}

INCLUDE = re.compile(r'^\s*#\s*include\s+"([^"]+)"')


def folder_of(include_path):
    parts = include_path.split("/")
    if len(parts) >= 3 and parts[1] == "widgets":
        return parts[0] + "/widgets"
    return parts[0] if len(parts) >= 2 else None


def main():
    root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(__file__), ".."))
    problems = []
    sources = []
    for top in ("src", "cli", "app"):
        for dirpath, _, names in os.walk(os.path.join(root, top)):
            for name in names:
                if name.endswith((".h", ".cpp")):
                    sources.append(os.path.join(dirpath, name))
    for path in sorted(sources):
        rel = os.path.relpath(path, root)
        parts = rel.split(os.sep)
        if parts[0] == "src":
            own = folder_of("/".join(parts[1:]))
            rank = RANKS.get(own)
            if rank is None:
                problems.append(f"{rel}: folder {own} has no layer")
                continue
        else:
            own = parts[0]
            rank = FRONT_ENDS[own]
        with open(path, encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                target = folder_of(m.group(1))
                if target is None or target == own or target not in RANKS:
                    continue
                if RANKS[target] >= rank:
                    problems.append(f"{rel}:{number}: {own} includes {m.group(1)} "
                                    f"from a layer above or beside it ({target})")
    for p in problems:
        print(p)
    if problems:
        print(f"{len(problems)} include(s) break the layering")
        return 1
    print(f"layering holds: {len(sources)} files checked")
    return 0


if __name__ == "__main__":
    sys.exit(main())
