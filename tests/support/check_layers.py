"""Fails when a file includes a header of a layer above its own.

Every library exports src/ as its include root, so the compiler alone would
let a control include a window. The layers, each with what it may include:
"""
import pathlib
import re
import sys

BELOW = {
    "core": set(),
    "ibdb": {"core"},
    "controls": {"core"},
    "schema": {"ibdb", "core"},
    "uikit": {"controls", "schema", "ibdb", "core"},
    "workbench": {"uikit", "controls", "schema", "ibdb", "core"},
    "catalog": {"workbench", "uikit", "controls", "schema", "ibdb", "core"},
    "app": {"catalog", "workbench", "uikit", "controls", "schema", "ibdb", "core"},
}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z]+)/[^"]+"', re.M)


def offences(root):
    """Yields (file, included header) for every include of a higher layer.

    A test folder of tests/ belongs to the layer of the same name.
    """
    for top in ("src", "tests"):
        for layer, allowed in BELOW.items():
            folder = root / top / layer
            for path in sorted(folder.rglob("*")):
                if path.suffix not in (".h", ".cpp"):
                    continue
                for match in INCLUDE.finditer(path.read_text(encoding="utf-8")):
                    used = match.group(1)
                    if used in BELOW and used != layer and used not in allowed:
                        yield path.relative_to(root), match.group(0).strip()


def main():
    root = pathlib.Path(sys.argv[1])
    found = list(offences(root))
    for path, include in found:
        print(f"{path}: {include}: a layer above {path.parts[1]}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main())
