#!/usr/bin/env python3
"""scripts/copy_res.py: skins lose their indentation and nothing else; a copy that
would change a skin stops the build; an up-to-date copy is not written again."""
import os
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts", "copy_res.py")
RES = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "res")

SKIN = b"""<?xml version="1.0" encoding="UTF-8"?>
<ui version="4.0">
  <!-- a comment -->
  <widget class="QLabel" name="label">
    <property name="text">
      <string>Two  spaces, kept</string>
    </property>
    <property name="toolTip"><string> </string></property>
  </widget>
</ui>
"""


def run(source, dest):
    return subprocess.run([sys.executable, SCRIPT, source, dest], capture_output=True, text=True)


class CopyResTest(unittest.TestCase):
    def setUp(self):
        self.temp = tempfile.TemporaryDirectory()
        self.source = os.path.join(self.temp.name, "res")
        self.dest = os.path.join(self.temp.name, "bin", "res")
        os.makedirs(os.path.join(self.source, "skins"))

    def tearDown(self):
        self.temp.cleanup()

    def write(self, name, data):
        with open(os.path.join(self.source, name), "wb") as f:
            f.write(data)

    def read(self, name):
        with open(os.path.join(self.dest, name), "rb") as f:
            return f.read()

    def test_skins_lose_indentation_and_comments_other_files_are_copied_as_they_are(self):
        self.write("page.xml", SKIN)
        language = b"<Language>\n  <Text key=\"a\">A</Text>\n</Language>\n"
        self.write("lan.xml", language)
        self.write(os.path.join("skins", "icon.svg"), b"<svg>\n  <g/>\n</svg>\n")
        self.assertEqual(run(self.source, self.dest).returncode, 0)
        skin = self.read("page.xml")
        self.assertNotIn(b"\n  ", skin)
        self.assertNotIn(b"comment", skin)
        label = ET.fromstring(skin).find("widget")
        self.assertEqual(label.find("property/string").text, "Two  spaces, kept")
        self.assertEqual(label.findall("property/string")[1].text, " ")
        self.assertEqual(self.read("lan.xml"), language)
        self.assertEqual(self.read(os.path.join("skins", "icon.svg")), b"<svg>\n  <g/>\n</svg>\n")

    def test_a_skin_whose_text_is_only_a_line_break_is_refused(self):
        self.write("page.xml", b"<ui version=\"4.0\"><widget class=\"QLabel\" name=\"l\"><property name=\"text\">"
                               b"<string>\n  </string></property></widget></ui>")
        result = run(self.source, self.dest)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("would change the skin", result.stderr)

    def test_an_up_to_date_copy_is_not_written_again(self):
        self.write("page.xml", SKIN)
        run(self.source, self.dest)
        target = os.path.join(self.dest, "page.xml")
        os.utime(target, (1, 1))
        self.assertEqual(run(self.source, self.dest).returncode, 0)
        self.assertEqual(os.stat(target).st_mtime, 1)

    def test_every_skin_of_the_program_copies(self):
        self.assertEqual(run(RES, self.dest).returncode, 0)


if __name__ == "__main__":
    unittest.main()
