#!/usr/bin/env python3
"""Fails when a product file includes a file of a higher floor or of a sibling
folder on its own floor. Tests, benchmarks and fuzzers may include anything.

usage: check_layers.py [SOURCE_ROOT]     (default: the repository of this file)
       check_layers.py --self-test
"""
import os
import re
import sys
import tempfile

# Bottom to top. A folder may include its own files and those of lower floors.
FLOORS = [
    ["common"],
    ["config", "log", "service"],
    ["backup", "schedule"],
    ["platform"],  # the boundary: application object, clock, dialogs, tray
    ["app"],
    ["resources"],  # ids shared by the Windows resource script and the window code
    ["frontends/headless", "frontends/win32"],
]
FREE = ("tests", "bench", "fuzz", "build", "cmake", "scripts")
SOURCE = re.compile(r"\.(h|hpp|c|cpp)$")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"]+)"')

FLOOR_OF = {folder: n for n, floor in enumerate(FLOORS) for folder in floor}


def folder_of(path):
    """The floor folder a repository path belongs to, or None."""
    parts = path.split("/")[:-1]
    for i in range(len(parts), 0, -1):
        candidate = "/".join(parts[:i])
        if candidate in FLOOR_OF:
            return candidate
    return None


def product_files(root):
    for dirpath, dirnames, filenames in os.walk(root):
        rel = os.path.relpath(dirpath, root).replace(os.sep, "/")
        if rel == ".":
            dirnames[:] = [d for d in dirnames if d not in FREE and not d.startswith(".")]
            continue
        for name in filenames:
            if SOURCE.search(name):
                yield f"{rel}/{name}"


def resolve(root, including, target):
    """Repository path of an include: project-rooted, else next to the includer."""
    beside = os.path.normpath(os.path.join(os.path.dirname(including), target)).replace(os.sep, "/")
    if not os.path.exists(os.path.join(root, target)) and os.path.exists(os.path.join(root, beside)):
        return beside
    return target


def violations(root):
    found = []
    for path in sorted(product_files(root)):
        own = folder_of(path)
        if own is None:
            found.append(f"{path}: folder has no floor")
            continue
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as source:
            for number, line in enumerate(source, 1):
                match = INCLUDE.match(line)
                if not match:
                    continue
                target = resolve(root, path, match.group(1))
                other = folder_of(target)
                if other is None or other == own:
                    continue
                if FLOOR_OF[other] > FLOOR_OF[own]:
                    found.append(f"{path}:{number}: includes {target} from the higher floor {other}/")
                elif FLOOR_OF[other] == FLOOR_OF[own]:
                    found.append(f"{path}:{number}: includes {target} from the sibling folder {other}/")
    return found


def self_test():
    cases = [
        ("common/A.h", '#include "config/B.h"', "higher floor"),
        ("config/B.h", '#include "log/C.h"', "sibling folder"),
        ("schedule/D.cpp", '#include "backup/E.h"', "sibling folder"),
        ("backup/F.cpp", '#include "app/G.h"', "higher floor"),
        ("platform/H.h", '#include "app/G.h"', "higher floor"),
        ("frontends/headless/I.cpp", '#include "frontends/win32/J.h"', "sibling folder"),
        ("newfolder/K.cpp", "", "has no floor"),
        ("backup/L.cpp", '#include "service/M.h"', None),
        ("frontends/win32/N.cpp", '#include "app/G.h"\n#include "platform/H.h"', None),
        ("schedule/O.cpp", '#include "P.h"', None),
        ("tests/Q.cpp", '#include "frontends/win32/J.h"', None),
    ]
    failures = 0
    for path, text, expected in cases:
        with tempfile.TemporaryDirectory() as root:
            for name in (path, "config/B.h", "log/C.h", "backup/E.h", "app/G.h", "platform/H.h",
                         "frontends/win32/J.h", "service/M.h", "schedule/P.h"):
                os.makedirs(os.path.join(root, os.path.dirname(name)), exist_ok=True)
                if not os.path.exists(os.path.join(root, name)):
                    open(os.path.join(root, name), "w").close()
            with open(os.path.join(root, path), "w") as f:
                f.write(text + "\n")
            found = [v for v in violations(root) if v.startswith(path)]
            ok = (not found) if expected is None else (len(found) == 1 and expected in found[0])
            if not ok:
                failures += 1
                print(f"self-test {path} {text!r}: expected {expected!r}, got {found}")
    return failures


def main(argv):
    if argv[1:] == ["--self-test"]:
        return 1 if self_test() else 0
    root = argv[1] if len(argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..")
    found = violations(root)
    for line in found:
        print(line)
    if found:
        print(f"{len(found)} include(s) against the floors (see tests/layers/check_layers.py)")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
