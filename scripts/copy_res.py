#!/usr/bin/env python3
"""Copies res/ beside the built program, with the skins' indentation taken out.

A skin (an XML file whose root is <ui>) is parsed at every start; about two fifths of
its characters are the line breaks and indentation between tags, which the parser
reads character by character and then throws away. The copy drops whitespace that
runs from one tag to the next across a line break, and comments, and nothing else;
each minified skin is checked to parse into the same elements, attributes and texts
as its source before it is written. Other files are copied as they are. A file whose
copy is already up to date is left alone.

    copy_res.py SOURCE_DIR DEST_DIR
"""
import os
import re
import shutil
import sys
import xml.etree.ElementTree as ET

BETWEEN_TAGS = re.compile(rb">[ \t\r]*\n\s*<")
COMMENT = re.compile(rb"<!--.*?-->", re.S)


def shape(element):
    """Everything the loader reads: tags, attributes, the text of every element without
    children (whitespace and all), and any other text that is not bare indentation."""
    text = element.text or ""
    if len(element) and not text.strip():
        text = ""
    return (element.tag, sorted(element.attrib.items()), text, [shape(child) for child in element])


def minified(data, name):
    out = BETWEEN_TAGS.sub(b"><", COMMENT.sub(b"", data))
    if shape(ET.fromstring(data)) != shape(ET.fromstring(out)):
        sys.exit(f"copy_res: {name}: minifying would change the skin")
    return out


def is_skin(data):
    return re.search(rb"<ui[\s>]", data[:512]) is not None


def main():
    source, dest = sys.argv[1], sys.argv[2]
    for folder, _, files in os.walk(source):
        target_folder = os.path.join(dest, os.path.relpath(folder, source))
        os.makedirs(target_folder, exist_ok=True)
        for name in files:
            src = os.path.join(folder, name)
            dst = os.path.join(target_folder, name)
            with open(src, "rb") as f:
                data = f.read()
            if name.endswith(".xml") and is_skin(data):
                data = minified(data, src)
            try:
                with open(dst, "rb") as f:
                    if f.read() == data:
                        continue
            except FileNotFoundError:
                pass
            with open(dst + ".tmp", "wb") as f:
                f.write(data)
            shutil.copymode(src, dst + ".tmp")
            os.replace(dst + ".tmp", dst)


if __name__ == "__main__":
    main()
