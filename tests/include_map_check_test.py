#!/usr/bin/env python3
"""The include-map checker on small trees: what it must refuse, and that
it names the file and line."""
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import include_map_check  # noqa: E402

MAP = """\
# lowest first
util:
ui/engine/base:
ui/engine/render: ui/engine/base util
"""


class Tree:
    def __init__(self, files, layers=MAP):
        self.dir = tempfile.TemporaryDirectory()
        self.src = self.dir.name
        for path, text in {**files, "LAYERS": layers}.items():
            full = os.path.join(self.src, path)
            os.makedirs(os.path.dirname(full), exist_ok=True)
            with open(full, "w", encoding="utf-8") as f:
                f.write(text)

    def problems(self):
        return include_map_check.check(self.src, os.path.join(self.src, "LAYERS"))


GOOD = {
    "util/text.h": "#pragma once\n",
    "ui/engine/base/ui_string.h": "#pragma once\n",
    "ui/engine/render/draw.h": '#pragma once\n#include "ui/engine/base/ui_string.h"\n',
    "ui/engine/render/draw.cpp": '#include "ui/engine/render/draw.h"\n#include <windows.h>\n#include "util/text.h"\n',
}


class IncludeMapCheck(unittest.TestCase):
    def test_includes_down_the_map_pass(self):
        self.assertEqual(Tree(GOOD).problems(), [])

    def test_include_that_climbs_is_named_with_file_and_line(self):
        files = dict(GOOD)
        files["ui/engine/base/ui_string.cpp"] = '// banner\n#include "ui/engine/render/draw.h"\n'
        problems = Tree(files).problems()
        self.assertEqual(len(problems), 1, problems)
        self.assertIn("src/ui/engine/base/ui_string.cpp:2", problems[0])
        self.assertIn('"ui/engine/render/draw.h"', problems[0])

    def test_include_of_a_folder_not_listed_for_it_fails(self):
        files = dict(GOOD)
        files["util/text.cpp"] = '#include "ui/engine/base/ui_string.h"\n'
        problems = Tree(files).problems()
        self.assertTrue(any("src/util/text.cpp:1" in p for p in problems), problems)

    def test_files_including_each_other_fail_even_in_one_folder(self):
        files = dict(GOOD)
        files["ui/engine/render/a.h"] = '#include "ui/engine/render/b.h"\n'
        files["ui/engine/render/b.h"] = '\n#include "ui/engine/render/a.h"\n'
        problems = Tree(files).problems()
        self.assertEqual(len(problems), 1, problems)
        self.assertIn("include each other", problems[0])
        self.assertIn("src/ui/engine/render/a.h:1", problems[0])
        self.assertIn("src/ui/engine/render/b.h:2", problems[0])

    def test_longer_circle_is_found(self):
        files = dict(GOOD)
        files["util/a.h"] = '#include "util/b.h"\n'
        files["util/b.h"] = '#include "util/c.h"\n'
        files["util/c.h"] = '#include "util/a.h"\n'
        problems = Tree(files).problems()
        self.assertEqual(len(problems), 1, problems)
        self.assertIn("src/util/c.h:1", problems[0])

    def test_folder_missing_from_the_map_fails(self):
        files = dict(GOOD)
        files["crash/catcher.cpp"] = '#include "util/text.h"\n'
        self.assertTrue(any(p.startswith("crash/") for p in Tree(files).problems()))

    def test_include_not_rooted_at_src_fails(self):
        files = dict(GOOD)
        files["ui/engine/render/draw.cpp"] = '#include "draw.h"\n'
        problems = Tree(files).problems()
        self.assertTrue(any("src/ui/engine/render/draw.cpp:1" in p and "rooted" in p for p in problems), problems)

    def test_map_naming_a_folder_above_itself_is_refused(self):
        circular = "util: ui/engine/base\nui/engine/base: util\nui/engine/render: ui/engine/base util\n"
        problems = Tree(GOOD, circular).problems()
        self.assertTrue(any("LAYERS:1" in p and "listed above" in p for p in problems), problems)


if __name__ == "__main__":
    unittest.main()
