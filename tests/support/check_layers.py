"""Fails when a file includes a header of a layer above its own.

Every library exports src/ as its include root, so the compiler alone would
let a control include a window. An include counts by the file it names,
however it is spelt ("app/X.h", <app/X.h>, "../app/X.h"). The tests of a
layer and the benchmark's folders rank as below; a file of tests/support
ranks as the support library that builds it. The layers, each with what it
may include:
"""
import os
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
# The test support libraries, each at the layer of the highest library it
# links; a support file takes the layer of the library tests/CMakeLists.txt
# builds it into.
SUPPORT = {
    "quorvel_test_main": "core",
    "quorvel_test_data": "ibdb",
    "quorvel_test_uikit": "uikit",
    "quorvel_test_app": "app",
}
# The benchmark's folders: the bare client-library side links no library of
# ours (its headers only), the timing program links the whole frame.
BENCH = {"isc": "ibdb", "gen": "ibdb", "run": "app"}
# The trees a file of each tree may include from: the program never
# includes a test's or a benchmark's header.
TREES = {"src": {"src"}, "tests": {"src", "tests"}, "bench": {"src", "tests", "bench"}}
# Where the build looks for a header named without a folder of its own.
INCLUDE_ROOTS = ("src", "tests", "bench/isc")

INCLUDE = re.compile(r'^[ \t]*#[ \t]*include[ \t]*(["<])([^">\n]+)[">]', re.M)
LIBRARY = re.compile(r"add_library\(\s*(\w+)\s+(?:STATIC|INTERFACE)\b([^)]*)\)")


class LayerError(Exception):
    """The tree cannot be checked as it stands."""


def support_layers(root):
    """The layer of every file a support library of tests/CMakeLists.txt lists."""
    listing = root / "tests" / "CMakeLists.txt"
    if not listing.is_file():
        raise LayerError(f"{listing}: not found")
    layers = {}
    for library, files in LIBRARY.findall(listing.read_text(encoding="utf-8")):
        if library not in SUPPORT:
            continue
        for name in files.split():
            if name.startswith("support/"):
                layers[pathlib.PurePosixPath("tests", name)] = SUPPORT[library]
    return layers


def rank(relative, supports):
    """(tree, layer) of a file given relative to the root; None when unranked."""
    parts = relative.parts
    if len(parts) < 3:
        return None
    tree, folder = parts[0], parts[1]
    if tree == "src" and folder in BELOW:
        return tree, folder
    if tree == "tests" and folder == "support":
        layer = supports.get(pathlib.PurePosixPath(*parts))
        return (tree, layer) if layer else None
    if tree == "tests" and folder in BELOW:
        return tree, folder
    if tree == "bench" and folder in BENCH:
        return tree, BENCH[folder]
    return None


def resolve(root, path, bracket, name):
    """The file an include names, relative to the root; None for a header that
    is none of ours (Qt's, the system's)."""
    first = name.split("/", 1)[0]
    if name.startswith(("./", "../")) or (bracket == '"' and (path.parent / name).is_file()):
        target = path.parent / name
    elif first in BELOW:
        target = root / "src" / name
    elif first == "support":
        target = root / "tests" / name
    else:
        found = [root / top / name for top in INCLUDE_ROOTS if (root / top / name).is_file()]
        if not found:
            return None
        target = found[0]
    return pathlib.PurePosixPath(os.path.relpath(os.path.normpath(target), root))


def allowed(own, used):
    tree, layer = own
    used_tree, used_layer = used
    if used_tree not in TREES[tree]:
        return False
    return used_layer is None or used_layer == layer or used_layer in BELOW[layer]


def sources(root):
    for top in ("src", "tests", "bench"):
        for path in sorted((root / top).rglob("*")):
            if path.suffix in (".h", ".cpp") and path.is_file():
                yield path


def offences(root):
    """Yields (file, include, why) for every include the layers forbid."""
    root = pathlib.Path(root).resolve()
    if not (root / "src").is_dir():
        raise LayerError(f"{root}: no src/ folder to check")
    supports = support_layers(root)
    for path in sources(root):
        relative = pathlib.PurePosixPath(path.relative_to(root).as_posix())
        if relative.parts[:2] == ("tests", "support") and relative not in supports:
            yield relative, None, "built by no support library of tests/CMakeLists.txt"
            continue
        own = rank(relative, supports)
        if own is None:
            continue
        for match in INCLUDE.finditer(path.read_text(encoding="utf-8")):
            target = resolve(root, path, match.group(1), match.group(2).strip())
            if target is None or target.parts[0] not in TREES:
                continue
            used = rank(target, supports) or (target.parts[0], None)
            if not allowed(own, used):
                yield relative, match.group(0).strip(), f"{target}: a layer above {own[1]}"


def main(argv):
    if len(argv) != 2:
        print("usage: check_layers.py <source root>", file=sys.stderr)
        return 2
    try:
        found = list(offences(pathlib.Path(argv[1])))
    except LayerError as error:
        print(error, file=sys.stderr)
        return 2
    for path, include, why in found:
        print(f"{path}: {include}: {why}" if include else f"{path}: {why}")
    return 1 if found else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
