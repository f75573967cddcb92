#!/usr/bin/env python3
"""Reads a release's ReaPack index as ReaPack does, and checks it.

    reapack_check.py check DIST URL VERSION CHANGELOG PLATFORM...
        index.xml in DIST: well-formed, exactly the expected elements and attributes, a source per
        PLATFORM whose hash matches the file in DIST and whose URL is URL followed by its name,
        DLLs of the platform's architecture, and one version throughout.
    reapack_check.py install INDEX RESOURCE
        installs every source of the index into RESOURCE/UserPlugins: downloads it by its URL,
        checks its hash and writes it under its file name.
"""
import hashlib
import os
import re
import struct
import sys
import urllib.request
import xml.etree.ElementTree as ElementTree

MACHINES = {"win32": 0x14C, "win64": 0x8664}


def fail(message):
    sys.exit("FAIL: " + message)


def expect(condition, message):
    if not condition:
        fail(message)


def element(node, tag, attributes, children):
    """Checks a node's tag and exact attributes, and that its children have the given tags."""
    expect(node.tag == tag, f"<{node.tag}> where <{tag}> belongs")
    expect(node.attrib == attributes, f"<{tag}> has attributes {node.attrib}, not {attributes}")
    expect([child.tag for child in node] == children,
           f"<{tag}> holds {[child.tag for child in node]}, not {children}")
    return list(node)


def multihash(data):
    return "1220" + hashlib.sha256(data).hexdigest()


def machine(data):
    """The PE file header's machine field."""
    expect(data[:2] == b"MZ", "not a PE file")
    offset = struct.unpack_from("<I", data, 0x3C)[0]
    expect(data[offset:offset + 4] == b"PE\0\0", "not a PE file")
    return struct.unpack_from("<H", data, offset + 4)[0]


def file_version(data):
    """major.minor.patch of the version resource's fixed part."""
    at = data.find(struct.pack("<I", 0xFEEF04BD))
    expect(at >= 0, "the DLL has no version resource")
    most, least = struct.unpack_from("<II", data, at + 8)
    return f"{most >> 16}.{most & 0xFFFF}.{least >> 16}"


def newest_changelog_version(changelog):
    with open(changelog, encoding="utf-8") as file:
        match = re.search(r"^## \[(\d+\.\d+\.\d+)\]", file.read(), re.M)
    expect(match is not None, "CHANGELOG.md has no versioned heading")
    return match.group(1)


def check(dist, url, version, changelog, platforms):
    path = os.path.join(dist, "index.xml")
    try:
        root = ElementTree.parse(path).getroot()
    except ElementTree.ParseError as error:
        fail(f"index.xml is not well-formed XML: {error}")
    (category,) = element(root, "index", {"version": "1", "name": "Ruvenkal"}, ["category"])
    (package,) = element(category, "category", {"name": "Extensions"}, ["reapack"])
    (release,) = element(package, "reapack", {
        "name": "Ruvenkal.ext", "type": "extension",
        "desc": "Ruvenkal: zoom by dragging the time display"}, ["version"])
    expect(re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ", release.get("time", "")),
           f"time {release.get('time')!r} is not a UTC time")
    children = element(release, "version", {
        "name": version, "author": "the Ruvenkal authors", "time": release.get("time")},
        ["source"] * len(platforms) + ["changelog"])
    expect(newest_changelog_version(changelog) == version,
           f"CHANGELOG.md's newest version is not {version}")

    base = url.rstrip("/")
    for source, platform in zip(children, platforms):
        name = source.get("file", "")
        element(source, "source",
                {"platform": platform, "file": name, "hash": source.get("hash")}, [])
        expect(re.fullmatch(r"reaper_ruvenkal-x(86|64)\.dll", name), f"file name {name!r}")
        expect(source.text == base + "/" + name, f"{name}'s URL is {source.text!r}")
        with open(os.path.join(dist, name), "rb") as file:
            data = file.read()
        expect(source.get("hash") == multihash(data), f"{name}'s hash does not match the file")
        expect(machine(data) == MACHINES[platform], f"{name} is not a {platform} DLL")
        expect(file_version(data) == version, f"{name}'s version resource is not {version}")
        print(f"ok: {platform} {name}, hash and version {version} match")

    notes = children[-1]
    element(notes, "changelog", {}, [])
    expect("Added" in (notes.text or "") and "`" not in notes.text and "##" not in notes.text,
           f"the changelog is not the release's notes as plain text: {notes.text!r}")
    print("ok: index.xml has exactly the expected elements, attributes and changelog")


def install(index, resource):
    folder = os.path.join(resource, "UserPlugins")
    os.makedirs(folder, exist_ok=True)
    for source in ElementTree.parse(index).getroot().iter("source"):
        with urllib.request.urlopen(source.text) as response:
            data = response.read()
        expect(multihash(data) == source.get("hash"), f"{source.text}: the hash does not match")
        name = os.path.basename(source.get("file"))
        with open(os.path.join(folder, name), "wb") as file:
            file.write(data)
        print(f"ok: installed {source.text} as UserPlugins/{name}")


if __name__ == "__main__":
    if len(sys.argv) >= 6 and sys.argv[1] == "check":
        check(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5], sys.argv[6:])
    elif len(sys.argv) == 4 and sys.argv[1] == "install":
        install(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)
