#!/usr/bin/env python3
"""scripts/check_layers: passes on the repository and catches includes against the layers."""
import os
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
SCRIPT = os.path.join(ROOT, "scripts", "check_layers")


def run(root):
    return subprocess.run([sys.executable, SCRIPT, "--root", root], capture_output=True, text=True)


def tree(files):
    """A throw-away source tree: {relative path: text}."""
    folder = tempfile.TemporaryDirectory()
    for path, text in files.items():
        full = os.path.join(folder.name, path)
        os.makedirs(os.path.dirname(full), exist_ok=True)
        with open(full, "w") as f:
            f.write(text)
    return folder


class CheckLayersTest(unittest.TestCase):
    def test_the_repository_follows_its_layers(self):
        result = run(ROOT)
        self.assertEqual(result.returncode, 0, result.stdout + result.stderr)

    def test_core_including_settings_is_caught(self):
        with tree({"core/record.h": '#include "settings/page_controls.h"\n',
                   "settings/page_controls.h": '#include "core/record.h"\n'}) as root:
            result = run(root)
        self.assertEqual(result.returncode, 1)
        self.assertIn('core/record.h:1: includes "settings/page_controls.h"', result.stdout)
        self.assertNotIn("settings/page_controls.h:1", result.stdout)  # downwards is fine

    def test_peers_and_upward_includes_are_caught_in_tests_too(self):
        with tree({"protocol/report.cpp": '#include "device/link_state.h"\n',
                   "storage/store.cpp": '#include "protocol/report.h"\n',
                   "tests/core/x_test.cpp": '#include "storage/store.h"\n',
                   "tests/settings/y_test.cpp": '#include "device/a.h"\n#include "tests/device/fake.h"\n',
                   "drivers/virtual/mouse.cpp": '#include "protocol/report.h"\n'}) as root:
            result = run(root)
        self.assertEqual(result.returncode, 1)
        for path in ("protocol/report.cpp:1", "storage/store.cpp:1", "tests/core/x_test.cpp:1",
                     "drivers/virtual/mouse.cpp:1"):
            self.assertIn(path, result.stdout)
        self.assertNotIn("tests/settings/y_test.cpp", result.stdout)

    def test_a_folder_without_a_place_in_the_layers_is_refused(self):
        with tree({"gadgets/thing.cpp": "int x;\n"}) as root:
            result = run(root)
        self.assertEqual(result.returncode, 1)
        self.assertIn("gadgets/thing.cpp: its folder has no place", result.stdout)


if __name__ == "__main__":
    unittest.main()
