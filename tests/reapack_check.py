#!/usr/bin/env python3
"""Reads a release's ReaPack index as ReaPack does, and checks it.

    reapack_check.py check DIST URL VERSION CHANGELOG PLATFORM...
        index.xml in DIST: well-formed, exactly the expected elements and attributes, a source per
        PLATFORM whose hash matches the file in DIST and whose URL is URL followed by its name,
        DLLs of the platform's architecture, and one version throughout.
        Older versions from a previous index may come first, in ascending order. The About page
        (the package's and the repository's metadata) has an RTF description, a screenshot link
        to the moving picture in DIST, and a website link exactly when RUVENKAL_WEBSITE_URL is
        set. The release notes hold each bullet on one line.
    reapack_check.py about-files INDEX FOLDER
        writes the index's two descriptions to FOLDER/package.rtf and FOLDER/repository.rtf, and
        RTF made from texts that need escaping to FOLDER/escape-N.rtf, for loading into RichEdit.
    reapack_check.py about-texts FOLDER README
        checks the plain texts that RichEdit made of them (FILE.txt beside each FILE).
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

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts"))
import reapack_index  # noqa: E402

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


def check_about(node, dist, base):
    """A <metadata>: an RTF description, the screenshot link beside the DLLs, and the website."""
    website = os.environ.get("RUVENKAL_WEBSITE_URL", "")
    links = ["link"] * (2 if website else 1)
    description, *link_nodes = element(node, "metadata", {}, ["description"] + links)
    element(description, "description", {}, [])
    expect((description.text or "").startswith("{\\rtf1"), "the description is not RTF")
    expected = [("screenshot", base + "/zoom-drag.gif")]
    if website:
        expected.insert(0, ("website", website))
    got = [(link.get("rel"), link.get("href")) for link in link_nodes]
    expect(got == expected, f"the About links are {got}, not {expected}")
    with open(os.path.join(dist, "zoom-drag.gif"), "rb") as published, \
            open(os.path.join(os.path.dirname(__file__), "..", "docs", "images", "zoom-drag.gif"),
                 "rb") as picture:
        expect(published.read() == picture.read(), "dist/zoom-drag.gif is not the picture")


def check_notes(notes, changelog, version):
    """Every bullet of the release's section on a line of its own, beside the section names."""
    with open(changelog, encoding="utf-8") as file:
        section = re.search(r"^## \[" + re.escape(version) + r"\][^\n]*\n(.*?)(?=^## |\Z)",
                            file.read(), re.M | re.S).group(1)
    bullets = len(re.findall(r"^- ", section, re.M))
    lines = notes.strip().split("\n")
    expect(sum(line.startswith("- ") for line in lines) == bullets,
           f"the notes do not hold the section's {bullets} bullets one to a line: {notes!r}")
    loose = [line for line in lines if line and not line.startswith("- ") and
             not re.fullmatch(r"Added|Changed|Deprecated|Removed|Fixed|Security", line)]
    expect(not loose, f"lines cut loose from their bullets: {loose}")


def check(dist, url, version, changelog, platforms):
    path = os.path.join(dist, "index.xml")
    try:
        root = ElementTree.parse(path).getroot()
    except ElementTree.ParseError as error:
        fail(f"index.xml is not well-formed XML: {error}")
    base = url.rstrip("/")
    category, about = element(root, "index", {"version": "1", "name": "Ruvenkal"},
                              ["category", "metadata"])
    check_about(about, dist, base)
    (package,) = element(category, "category", {"name": "Extensions"}, ["reapack"])
    versions = len(list(package)) - 1
    about, *releases = element(package, "reapack", {
        "name": "Ruvenkal.ext", "type": "extension",
        "desc": "Ruvenkal: zoom by dragging the ruler (time display)"}, ["metadata"] + ["version"] * versions)
    check_about(about, dist, base)
    names = [node.get("name") for node in releases]
    expect(names == sorted(names, key=reapack_index.version_key) and names[-1] == version,
           f"the versions {names} are not in ascending order, ending with {version}")
    release = releases[-1]
    expect(re.fullmatch(r"\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ", release.get("time", "")),
           f"time {release.get('time')!r} is not a UTC time")
    children = element(release, "version", {
        "name": version, "author": "the Ruvenkal authors", "time": release.get("time")},
        ["source"] * len(platforms) + ["changelog"])
    expect(newest_changelog_version(changelog) == version,
           f"CHANGELOG.md's newest version is not {version}")

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
    check_notes(notes.text, changelog, version)
    print("ok: index.xml has exactly the expected elements, attributes, About pages and notes")


# Texts that RTF must escape, and what RichEdit must show of each.
ESCAPES = ["Braces {like these} and a backslash \\ in C:\\Users",
           "Not ASCII: José, Андрей, 3 × 4 → 12, 한 past U+8000, and 😀 beyond 16 bits",
           "**Bold with {braces}**, `code with \\`, and [a link](https://example.org/{x})"]
ESCAPES_SHOWN = ["Braces {like these} and a backslash \\ in C:\\Users",
                 "Not ASCII: José, Андрей, 3 × 4 → 12, 한 past U+8000, and 😀 beyond 16 bits",
                 "Bold with {braces}, code with \\, and a link (https://example.org/{x})"]


def about_files(index, folder):
    root = ElementTree.parse(index).getroot()
    texts = {"package": root.find("category/reapack/metadata/description").text,
             "repository": root.find("metadata/description").text}
    for name, text in texts.items():
        with open(os.path.join(folder, name + ".rtf"), "w", encoding="ascii", newline="") as file:
            file.write(text)
    for number, text in enumerate(ESCAPES):
        rtf = reapack_index.markdown_to_rtf(text)
        expect(all(ord(char) < 0x80 for char in rtf), f"the RTF of {text!r} is not ASCII: {rtf!r}")
        with open(os.path.join(folder, f"escape-{number}.rtf"), "w", encoding="ascii") as file:
            file.write(rtf)


def shown(folder, name):
    with open(os.path.join(folder, name + ".rtf.txt"), encoding="utf-8") as file:
        return re.sub(r"\r\n?", "\n", file.read()).strip()


def about_texts(folder, readme):
    opening = reapack_index.opening_section(readme)
    first = re.sub(r"\[([^\]]*)\]\(([^)]*)\)", r"\1 (\2)", opening.split(". ")[0] + ".")
    first = " ".join(first.split())
    package = shown(folder, "package")
    expect(package == shown(folder, "repository"), "the package's and the repository's About differ")
    expect(" ".join(package.split()).startswith(first),
           f"the About text does not begin with README's first sentence {first!r}: {package!r}")
    # The whole manual: every heading of README's part for users, on a line of its own, in order.
    headings = [re.sub(r"^#+ ", "", line) for line in reapack_index.user_part(readme).split("\n")
                if re.match(r"#{2,3} ", line)]
    for needed in ("Settings", "Taking a zoom back", "Troubleshooting", "Uninstalling"):
        expect(needed in headings, f"README's part for users has no heading {needed!r}")
    lines = package.split("\n")
    at = 0
    for heading in headings:
        expect(heading in lines[at:], f"the About text lacks the heading {heading!r} (in order)")
        at = lines.index(heading, at) + 1
    for mark in ("**", "`", "](", "![", "|", "\\rtf", "\\par"):
        expect(mark not in package, f"the About text shows {mark!r}: {package!r}")
    # ReaPack shows the text at 3/4 of its size: below RichEdit's 12 points it is hard to read.
    for name in ("package", "repository"):
        with open(os.path.join(folder, name + ".rtf.height"), encoding="ascii") as file:
            twips = int(file.read())
        expect(twips >= 240, f"the {name}'s About text loads at {twips / 20} pt, below 12 pt")
    for number, expected in enumerate(ESCAPES_SHOWN):
        expect(shown(folder, f"escape-{number}") == expected,
               f"RichEdit shows {shown(folder, f'escape-{number}')!r}, not {expected!r}")
    print(f"ok: the About text loads as RTF, begins with {first!r} and holds all {len(headings)}"
          " sections of the manual; escapes come out as written")


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
    elif len(sys.argv) == 4 and sys.argv[1] == "about-files":
        about_files(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "about-texts":
        about_texts(sys.argv[2], sys.argv[3])
    elif len(sys.argv) == 4 and sys.argv[1] == "install":
        install(sys.argv[2], sys.argv[3])
    else:
        sys.exit(__doc__)
