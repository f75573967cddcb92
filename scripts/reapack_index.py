#!/usr/bin/env python3
"""Writes a ReaPack repository index (format version 1) for one release of Ruvenkal.

    reapack_index.py --url URL --version V --epoch SECONDS --changelog CHANGELOG.md --out FILE \
        PLATFORM=DLL [PLATFORM=DLL ...]

Each DLL is listed under its own file name, the name it gets in the host's UserPlugins folder,
with its URL (URL, trailing slash ignored, then the file name) and its hash. The same arguments
give the same bytes: the time is the commit's, and nothing else varies.
"""
import argparse
import hashlib
import os
import re
import sys
import time
from xml.sax.saxutils import escape


def attribute(text):
    return escape(text, {'"': "&quot;"})


def multihash(path):
    """ReaPack's checksum: SHA-256 (0x12) of 32 bytes (0x20), in lowercase hexadecimal."""
    with open(path, "rb") as file:
        return "1220" + hashlib.sha256(file.read()).hexdigest()


def release_notes(changelog, version):
    """The release's section of the changelog, as plain text."""
    with open(changelog, encoding="utf-8") as file:
        text = file.read()
    match = re.search(r"^## \[" + re.escape(version) + r"\][^\n]*\n(.*?)(?=^## |\Z)",
                      text, re.M | re.S)
    if match is None:
        sys.exit(f"{changelog} has no section for version {version}")
    lines = []
    for line in match.group(1).strip("\n").split("\n"):
        line = re.sub(r"^#+\s*", "", line)                  # headings
        line = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", line)  # links
        lines.append(line.replace("`", ""))
    return "\n".join(lines).strip() + "\n"


def cdata(text):
    # "]]>" would end the section early: split it across two.
    return "<![CDATA[" + text.replace("]]>", "]]]]><![CDATA[>") + "]]>"


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--url", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--epoch", required=True, type=int)
    parser.add_argument("--changelog", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("sources", nargs="+", metavar="PLATFORM=DLL")
    args = parser.parse_args()

    base = args.url.rstrip("/")
    stamp = time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(args.epoch))
    notes = release_notes(args.changelog, args.version)
    lines = [
        '<?xml version="1.0" encoding="utf-8"?>',
        '<index version="1" name="Ruvenkal">',
        '  <category name="Extensions">',
        '    <reapack name="Ruvenkal.ext" type="extension"'
        ' desc="Ruvenkal: zoom by dragging the time display">',
        f'      <version name="{attribute(args.version)}" author="the Ruvenkal authors"'
        f' time="{stamp}">',
    ]
    for source in args.sources:
        platform, path = source.split("=", 1)
        name = os.path.basename(path)
        lines.append(f'        <source platform="{attribute(platform)}" file="{attribute(name)}"'
                     f' hash="{multihash(path)}">{escape(base + "/" + name)}</source>')
    lines += [
        f"        <changelog>{cdata(notes)}</changelog>",
        "      </version>",
        "    </reapack>",
        "  </category>",
        "</index>",
    ]
    with open(args.out, "w", encoding="utf-8", newline="\n") as file:
        file.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
