#!/usr/bin/env python3
"""Writes a UTF-8 source text as a Windows text file: CR LF line ends, in the given encoding.

Usage: windows_text.py SOURCE TARGET ENCODING   (for example cp1250, or utf-8-sig for a BOM)
A character the encoding lacks fails the build rather than turning into "?".
"""
import sys

source, target, encoding = sys.argv[1:4]
with open(source, encoding="utf-8") as f:
    text = f.read()
data = text.replace("\r\n", "\n").replace("\n", "\r\n").encode(encoding)
with open(target, "wb") as f:
    f.write(data)
