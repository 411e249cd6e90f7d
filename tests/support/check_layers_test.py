"""The layer check on small source trees: each case one file and one include."""
import pathlib
import sys
import tempfile
import unittest

sys.path.insert(0, str(pathlib.Path(__file__).resolve().parent))
import check_layers  # noqa: E402

SUPPORT_LISTING = """\
add_library(quorvel_test_main INTERFACE support/TestMainBase.h)
add_library(quorvel_test_data STATIC
  support/TestDatabase.cpp support/TestDatabase.h)
add_library(quorvel_test_uikit STATIC support/ScriptedPrompts.cpp support/ScriptedPrompts.h)
"""

# (file, its include, refused)
CASES = [
    ("src/catalog/TDomainsForm.cpp", '#include "app/TMainForm.h"', True),
    ("src/catalog/TDomainsForm.cpp", "#include <app/TMainForm.h>", True),
    ("src/catalog/TDomainsForm.cpp", '#include "../app/TMainForm.h"', True),
    ("src/catalog/TDomainsForm.cpp", '#  include  "uikit/Command.h"', False),
    ("src/app/TMainForm.cpp", '#include "catalog/TDomainsForm.h"', False),
    ("src/app/TMainForm.cpp", '#include "TMainForm.h"', False),
    ("src/controls/TSplitBar.cpp", "#include <QString>", False),
    ("src/ibdb/TDMSys.cpp", '#include "support/TestDatabase.h"', True),
    ("tests/ibdb/tst_ibdriver.cpp", '#include "support/TestDatabase.h"', False),
    ("tests/ibdb/tst_ibdriver.cpp", '#include "support/ScriptedPrompts.h"', True),
    ("tests/controls/tst_splitbar.cpp", '#include "support/TestMainBase.h"', False),
    ("tests/support/TestDatabase.cpp", '#include "uikit/Prompts.h"', True),
    ("tests/support/TestDatabase.cpp", '#include "../../src/uikit/Prompts.h"', True),
    ("tests/support/ScriptedPrompts.cpp", '#include "uikit/Prompts.h"', False),
    ("tests/support/Unlisted.h", '#include "core/AppError.h"', True),
    ("bench/isc/IscSession.cpp", '#include "ibdb/IbHandles.h"', False),
    ("bench/isc/IscSession.cpp", '#include "app/TMainForm.h"', True),
    ("bench/run/main.cpp", '#include "app/TMainForm.h"', False),
    ("bench/run/main.cpp", '#include "IscSession.h"', False),
    ("bench/run/main.cpp", '#include "support/ScriptedPrompts.h"', False),
]


def tree(files):
    """A root holding the layers' folders, the support listing and the files."""
    folder = tempfile.TemporaryDirectory()
    root = pathlib.Path(folder.name)
    for layer in check_layers.BELOW:
        (root / "src" / layer).mkdir(parents=True)
    (root / "tests").mkdir()
    (root / "tests" / "CMakeLists.txt").write_text(SUPPORT_LISTING, encoding="utf-8")
    for name, text in files.items():
        (root / name).parent.mkdir(parents=True, exist_ok=True)
        (root / name).write_text(text + "\n", encoding="utf-8")
    return folder, root


class CheckLayers(unittest.TestCase):
    def test_each_include(self):
        for path, include, refused in CASES:
            with self.subTest(path=path, include=include):
                # Headers that exist where the build would find them.
                files = {path: include, "src/app/TMainForm.h": "", "bench/isc/IscSession.h": ""}
                folder, root = tree(files)
                with folder:
                    found = [p for p, _, _ in check_layers.offences(root)]
                self.assertEqual(pathlib.PurePosixPath(path) in found, refused, found)

    def test_tree_that_cannot_be_checked_fails(self):
        with tempfile.TemporaryDirectory() as empty:
            for root in (pathlib.Path(empty) / "missing", pathlib.Path(empty)):
                with self.subTest(root=root):
                    self.assertEqual(check_layers.main(["check_layers.py", str(root)]), 2)


if __name__ == "__main__":
    unittest.main()
