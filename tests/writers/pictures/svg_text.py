#!/usr/bin/env python3
"""Parses an SVG file as XML and lists its text elements (class, tab, text), then the
number of path and image elements. Exits non-zero when the file is not well-formed."""
import sys
import xml.etree.ElementTree as ET

SVG = "{http://www.w3.org/2000/svg}"

root = ET.parse(sys.argv[1]).getroot()
if root.tag != SVG + "svg":
    sys.exit("not an svg document: " + root.tag)
for element in root.iter(SVG + "text"):
    print((element.get("class") or "") + "\t" + (element.text or ""))
print("#path\t%d" % sum(1 for _ in root.iter(SVG + "path")))
print("#image\t%d" % sum(1 for _ in root.iter(SVG + "image")))
