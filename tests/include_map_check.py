#!/usr/bin/env python3
"""Checks every #include "..." under a source tree against its include map.

    include_map_check.py SRC_DIR [MAP_FILE]

MAP_FILE (default SRC_DIR/LAYERS) lists the folders of the tree, lowest
first, each with the folders its files may include:

    util:
    update: util digest net

A folder always includes its own files. Reported, each with file and line:
an include of a folder the map does not allow, an include that names no
file of the tree (includes are rooted at the tree), a folder the map does
not list, and files that include each other (directly or round a longer
chain). A map line may name only folders listed above it, so the map
itself has no circle. Exit 1 when anything is reported.
"""
import os
import re
import sys

SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cpp", ".cc", ".inl", ".rc")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')


def read_map(path):
    """{folder: set of folders it may include}, and the problems found."""
    allowed, problems = {}, []
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            folder, colon, targets = line.partition(":")
            folder = folder.strip()
            where = f"{path}:{number}"
            if not colon or not folder:
                problems.append(f"{where}: expected 'FOLDER: FOLDERS IT MAY INCLUDE'")
                continue
            if folder in allowed:
                problems.append(f"{where}: {folder} is listed twice")
            for target in targets.split():
                if target not in allowed:
                    problems.append(f"{where}: {folder} may include only folders listed above it, not {target}")
            allowed[folder] = set(targets.split())
    return allowed, problems


def source_files(src):
    """Paths relative to `src`, with "/" separators, in a stable order."""
    found = []
    for root, dirs, files in os.walk(src):
        dirs.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                found.append(os.path.relpath(os.path.join(root, name), src).replace(os.sep, "/"))
    return found


def includes_of(src, relative):
    """(line number, included path) for every quoted include of the file."""
    with open(os.path.join(src, relative), encoding="utf-8", errors="replace") as lines:
        for number, line in enumerate(lines, 1):
            match = INCLUDE.match(line)
            if match:
                yield number, match.group(1)


def folder_of(relative):
    return relative.rpartition("/")[0] or "."


def include_cycles(graph):
    """Each circle of files once, as a list of (file, line, included file)."""
    cycles, state = [], {}  # state: 1 on the current path, 2 finished
    path = []

    def visit(node):
        state[node] = 1
        for line, target in graph.get(node, []):
            if state.get(target) == 1:
                start = next(i for i, step in enumerate(path) if step[0] == target) if target != node else len(path)
                cycles.append(path[start:] + [(node, line, target)])
            elif target not in state:
                path.append((node, line, target))
                visit(target)
                path.pop()
        state[node] = 2

    for node in sorted(graph):
        if node not in state:
            visit(node)
    return cycles


def check(src, map_path):
    allowed, problems = read_map(map_path)
    files = source_files(src)
    known = set(files)
    graph = {}
    for folder in sorted({folder_of(f) for f in files}):
        if folder not in allowed:
            problems.append(f"{folder}/: folder not in {map_path}")
    for relative in files:
        folder = folder_of(relative)
        for line, included in includes_of(src, relative):
            where = f"src/{relative}:{line}"
            if included not in known:
                problems.append(f'{where}: "{included}" is no file under src/ (includes are rooted at src/)')
                continue
            graph.setdefault(relative, []).append((line, included))
            target = folder_of(included)
            if target != folder and folder in allowed and target not in allowed[folder]:
                problems.append(f'{where}: {folder}/ may not include "{included}" ({target}/ is not below it in the map)')
    for cycle in include_cycles(graph):
        chain = ", ".join(f'src/{f}:{line} includes "{t}"' for f, line, t in cycle)
        problems.append(f"files include each other: {chain}")
    return problems


def main(argv):
    if len(argv) not in (2, 3):
        sys.exit(__doc__)
    src = argv[1]
    map_path = argv[2] if len(argv) == 3 else os.path.join(src, "LAYERS")
    problems = check(src, map_path)
    for problem in problems:
        print(problem)
    print(f"{len(source_files(src))} files checked against {map_path}: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
