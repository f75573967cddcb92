#!/usr/bin/env python3
"""Writes a ReaPack repository index (format version 1) for a release of Ruvenkal.

    reapack_index.py --url URL --version V --epoch SECONDS --changelog CHANGELOG.md \
        --readme README.md --out FILE [--website URL] [--previous INDEX] PLATFORM=DLL...

Each DLL is listed under its own file name, the name it gets in the host's UserPlugins folder,
with its URL (URL, trailing slash ignored, then the file name) and its hash. The package and the
repository get an About page: README's part for users as RTF, which makes it the manual of a
user who installs with ReaPack, a screenshot link to the moving picture published beside the
DLLs, and a website link with --website. With --previous, the
published index, every version it holds is kept exactly as published and this one is added.

The same arguments give the same bytes: the time is the commit's, and nothing else varies. On
any error nothing is written.
"""
import argparse
import hashlib
import os
import re
import sys
import time
import xml.parsers.expat
from xml.sax.saxutils import escape

CATEGORY = "Extensions"
PACKAGE = "Ruvenkal.ext"


def attribute(text):
    return escape(text, {'"': "&quot;"})


def multihash(path):
    """ReaPack's checksum: SHA-256 (0x12) of 32 bytes (0x20), in lowercase hexadecimal."""
    with open(path, "rb") as file:
        return "1220" + hashlib.sha256(file.read()).hexdigest()


def cdata(text):
    # "]]>" would end the section early: split it across two.
    return "<![CDATA[" + text.replace("]]>", "]]]]><![CDATA[>") + "]]>"


# Release notes ------------------------------------------------------------------------------

def release_notes(changelog, version):
    """The release's section of the changelog as plain text. ReaPack trims every line, so each
    bullet becomes one line; section names stay lines of their own."""
    with open(changelog, encoding="utf-8") as file:
        text = file.read()
    match = re.search(r"^## \[" + re.escape(version) + r"\][^\n]*\n(.*?)(?=^## |\Z)",
                      text, re.M | re.S)
    if match is None:
        raise SystemExit(f"{changelog} has no section for version {version}")
    lines = []
    for line in match.group(1).strip("\n").split("\n"):
        continued = (line.startswith("  ") and not line.lstrip().startswith("- ") and lines and
                     lines[-1].startswith("- "))
        line = re.sub(r"^#+\s*", "", line.strip())           # headings
        line = re.sub(r"\[([^\]]*)\]\([^)]*\)", r"\1", line)  # links
        line = line.replace("`", "")
        if continued:
            lines[-1] += " " + line
        else:
            lines.append(line)
    return "\n".join(lines).strip() + "\n"


# About text ---------------------------------------------------------------------------------

# Where README's part for users ends: the rest is for developers.
DEVELOPERS_HEADING = "## Building Ruvenkal"


def readme_lines(readme):
    with open(readme, encoding="utf-8") as file:
        return file.read().split("\n")


def after_first_picture(lines, readme):
    picture = next((i for i, line in enumerate(lines) if line.startswith("![")), None)
    if picture is None:
        raise SystemExit(f"{readme} has no picture to start the About text after")
    return lines[picture + 1:]


def opening_section(readme):
    """README from the first paragraph after the picture up to the first "## " heading."""
    section = []
    for line in after_first_picture(readme_lines(readme), readme):
        if line.startswith("## "):
            break
        section.append(line)
    text = "\n".join(section).strip()
    if not text:
        raise SystemExit(f"{readme} has no text between its picture and its first heading")
    return text


def user_part(readme):
    """README for users: from the first paragraph after the picture, which the About page shows
    as its screenshot, up to the developers' part."""
    lines = after_first_picture(readme_lines(readme), readme)
    if DEVELOPERS_HEADING not in lines:
        raise SystemExit(f"{readme} has no heading {DEVELOPERS_HEADING!r} to end the About text at")
    text = "\n".join(lines[:lines.index(DEVELOPERS_HEADING)]).strip()
    if not text.startswith(opening_section(readme)):
        raise SystemExit(f"{readme}'s user part does not begin with its opening")
    return text


def rtf_text(text):
    """Plain text as RTF: ASCII only, with the three special characters escaped."""
    out = []
    for char in text:
        code = ord(char)
        if char in "\\{}":
            out.append("\\" + char)
        elif 0x20 <= code < 0x7F:
            out.append(char)
        elif code <= 0xFFFF:
            out.append(f"\\u{code - 0x10000 if code >= 0x8000 else code}?")
        else:  # beyond the 16 bits of \u: a UTF-16 surrogate pair
            code -= 0x10000
            for unit in (0xD800 + (code >> 10), 0xDC00 + (code & 0x3FF)):
                out.append(f"\\u{unit - 0x10000}?")
    return "".join(out)


INLINE = re.compile(r"\*\*(?P<bold>.+?)\*\*|`(?P<code>[^`]+)`|\[(?P<link>[^\]]+)\]\((?P<url>[^)]+)\)"
                    r"|(?<![\w*])\*(?P<italic>[^*\s][^*]*?)\*(?![\w*])")


def rtf_inline(text):
    """Bold, italics, inline code and links in a line of Markdown. A link to a web address shows
    its text, then the address; one within README (#heading) or to a file, its text alone."""
    out = []
    at = 0
    for match in INLINE.finditer(text):
        out.append(rtf_text(text[at:match.start()]))
        if match.group("bold") is not None:
            out.append("{\\b " + rtf_inline(match.group("bold")) + "}")
        elif match.group("italic") is not None:
            out.append("{\\i " + rtf_inline(match.group("italic")) + "}")
        elif match.group("code") is not None:
            out.append("{\\f1 " + rtf_text(match.group("code")) + "}")
        elif re.match(r"[a-z]+:", match.group("url")):
            out.append(rtf_inline(match.group("link")) + " (" + rtf_text(match.group("url")) + ")")
        else:
            out.append(rtf_inline(match.group("link")))
        at = match.end()
    out.append(rtf_text(text[at:]))
    return "".join(out)


LIST_ITEM = re.compile(r"^(?:- |(\d+)\. )")


def table_items(rows):
    """A table as list items that RichEdit can show: the first cell, then each other cell after
    its column's heading."""
    cells = [[cell.strip() for cell in row.strip().strip("|").split("|")] for row in rows]
    heading, body = cells[0], [row for row in cells[2:]]
    items = []
    for row in body:
        rest = "; ".join(f"{name}: {cell}" for name, cell in zip(heading[1:], row[1:]) if cell)
        items.append(("bullet", f"{row[0]}: {rest}" if rest else row[0]))
    return items


def blocks(markdown):
    """README's blocks, each with its wrapped lines joined: ("heading1".."heading3", "para",
    "bullet", "numbered", "code", "caption"), with their text. Pictures are left out (their
    captions stay), and tables become bullets."""
    result = []
    lines = markdown.split("\n")
    i = 0
    current = None  # the block that a wrapped line continues
    while i < len(lines):
        line = lines[i]
        stripped = line.strip()
        i += 1
        if not stripped or stripped.startswith("!["):
            current = None
        elif stripped.startswith("```"):
            code = []
            while i < len(lines) and not lines[i].strip().startswith("```"):
                code.append(lines[i])
                i += 1
            i += 1
            result.append(["code", "\n".join(code)])
            current = None
        elif stripped.startswith("|"):
            rows = [line]
            while i < len(lines) and lines[i].strip().startswith("|"):
                rows.append(lines[i])
                i += 1
            result += [list(item) for item in table_items(rows)]
            current = None
        elif re.match(r"#{1,3} ", line):
            level = len(line.split(" ")[0])
            result.append([f"heading{level}", line[level + 1:].strip()])
            current = None
        elif LIST_ITEM.match(line):
            number = LIST_ITEM.match(line).group(1)
            current = ["numbered" if number else "bullet", line[LIST_ITEM.match(line).end():].strip()]
            if number:
                current[1] = f"{number}.\t{current[1]}"
            result.append(current)
        elif current is not None:
            current[1] += " " + stripped
        else:
            current = ["para", stripped]
            result.append(current)
    for block in result:
        text = block[1]
        if block[0] == "para" and re.fullmatch(r"\*[^*].*[^*]\*", text):
            block[0], block[1] = "caption", "Picture: " + text[1:-1].rstrip(":") + "."
    return [tuple(block) for block in result]


# Points times two, as RTF's \fs counts them.
HEADING_SIZES = {"heading1": 36, "heading2": 32, "heading3": 28}


def markdown_to_rtf(markdown):
    """Markdown of README as an RTF document that RichEdit loads."""
    # 12 points, which ReaPack shows at three quarters of their size. Said outright: without
    # \fs, Wine's RichEdit takes the control's smaller font.
    out = ["{\\rtf1\\ansi\\deff0",
           "{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}",
           "\\fs24"]
    for kind, text in blocks(markdown):
        if kind in HEADING_SIZES:
            out.append(f"\\pard\\sb240\\sa120\\keepn\\b\\fs{HEADING_SIZES[kind]} "
                       + rtf_inline(text) + "\\b0\\fs24\\par")
        elif kind == "bullet":
            out.append("\\pard\\li360\\fi-240\\sa60 \\bullet\\tab " + rtf_inline(text) + "\\par")
        elif kind == "numbered":
            number, text = text.split("\t", 1)
            out.append(f"\\pard\\li360\\fi-360\\sa60 {number}\\tab " + rtf_inline(text) + "\\par")
        elif kind == "code":
            shown = "\\line ".join(rtf_text(line) for line in text.split("\n"))
            out.append("\\pard\\li360\\sa120 {\\f1 " + shown + "}\\par")
        elif kind == "caption":
            out.append("\\pard\\sa120 {\\i " + rtf_inline(text) + "}\\par")
        else:
            out.append("\\pard\\sa120 " + rtf_inline(text) + "\\par")
    out.append("}")
    return "\n".join(out) + "\n"


def metadata(indent, description, links):
    lines = [f"{indent}<metadata>",
             f"{indent}  <description>{cdata(description)}</description>"]
    for rel, href, name in links:
        lines.append(f'{indent}  <link rel="{rel}" href="{attribute(href)}">{escape(name)}</link>')
    lines.append(f"{indent}</metadata>")
    return lines


# History ------------------------------------------------------------------------------------

def version_key(name):
    """As ReaPack compares versions: 1.4, 1.4.0 and 1.4.0.0 are one version."""
    key = [(0, int(part), "") if part.isdigit() else (1, 0, part)
           for part in re.split(r"[.\-+]", name)]
    while len(key) > 1 and key[-1] == (0, 0, ""):
        key.pop()
    return key


def published_versions(path):
    """Each <version> of Ruvenkal's package in the published index at `path`: (name, its exact
    text). Anything but a well-formed ReaPack index v1 with the package stops the run."""
    try:
        with open(path, "rb") as file:
            data = file.read()
    except OSError as error:
        raise SystemExit(f"the previous index {path} can't be read: {error.strerror}")
    parser = xml.parsers.expat.ParserCreate()
    path_of = []   # the open elements, by tag and name
    found = {"index": None, "package": False}
    versions = []  # name, start byte
    spans = []

    def start(tag, attributes):
        where = [(t, n) for t, n in path_of]
        if not where:
            found["index"] = tag == "index" and attributes.get("version") == "1"
        if tag == "reapack" and where == [("index", None), ("category", CATEGORY)] and \
                attributes.get("name") == PACKAGE:
            found["package"] = True
        if tag == "version" and where[1:] == [("category", CATEGORY), ("reapack", PACKAGE)]:
            versions.append((attributes.get("name", ""), parser.CurrentByteIndex))
        path_of.append((tag, attributes.get("name") if tag in ("category", "reapack") else None))

    def end(tag):
        path_of.pop()
        if tag == "version" and len(path_of) == 3 and path_of[1:] == [("category", CATEGORY),
                                                                        ("reapack", PACKAGE)]:
            close = data.index(b">", parser.CurrentByteIndex) + 1
            name, begin = versions[len(spans)]
            spans.append((name, data[begin:close].decode("utf-8")))

    parser.StartElementHandler = start
    parser.EndElementHandler = end
    try:
        parser.Parse(data, True)
    except xml.parsers.expat.ExpatError as error:
        raise SystemExit(f"the previous index {path} is not well-formed XML: {error}")
    if not found["index"] or not found["package"]:
        raise SystemExit(f"the previous index {path} is not a ReaPack index (version 1) with the"
                         f" package {PACKAGE} in the category {CATEGORY}")
    return spans


# The index ----------------------------------------------------------------------------------

def new_version(args, base, indent):
    """This release's <version>, its first line without the indent, as published ones are kept."""
    stamp = time.strftime("%Y-%m-%dT%H:%M:%SZ", time.gmtime(args.epoch))
    lines = [f'<version name="{attribute(args.version)}" author="the Ruvenkal authors"'
             f' time="{stamp}">']
    for source in args.sources:
        platform, path = source.split("=", 1)
        name = os.path.basename(path)
        lines.append(f'{indent}  <source platform="{attribute(platform)}" file="{attribute(name)}"'
                     f' hash="{multihash(path)}">{escape(base + "/" + name)}</source>')
    lines.append(f"{indent}  <changelog>{cdata(release_notes(args.changelog, args.version))}"
                 "</changelog>")
    lines.append(f"{indent}</version>")
    return "\n".join(lines)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--url", required=True)
    parser.add_argument("--version", required=True)
    parser.add_argument("--epoch", required=True, type=int)
    parser.add_argument("--changelog", required=True)
    parser.add_argument("--readme", required=True)
    parser.add_argument("--out", required=True)
    parser.add_argument("--website", default="")
    parser.add_argument("--index-url", default="")
    parser.add_argument("--previous", default="")
    parser.add_argument("sources", nargs="+", metavar="PLATFORM=DLL")
    args = parser.parse_args()

    if args.website and not re.match(r"https?://", args.website):
        raise SystemExit(f"the website {args.website!r} must start with http:// or https://,"
                         " or ReaPack drops the link")
    if args.index_url and not re.match(r"https?://", args.index_url):
        raise SystemExit(f"the index address {args.index_url!r} must start with http:// or"
                         " https://, or ReaPack can't import it")
    base = args.url.rstrip("/")
    indent = "      "
    versions = published_versions(args.previous) if args.previous else []
    # ReaPack refuses a whole index that holds one version twice, and would stop every user's
    # synchronisation.
    same = [name for name, _ in versions if version_key(name) == version_key(args.version)]
    if same:
        raise SystemExit(f"version {args.version} is already published (as {same[0]});"
                         " raise the version")
    versions.append((args.version, new_version(args, base, indent)))
    versions.sort(key=lambda version: version_key(version[0]))

    manual = user_part(args.readme)
    if args.index_url:
        opening = opening_section(args.readme)
        manual = (opening + "\n\nTo install and update with ReaPack, import this repository"
                  f" address: `{args.index_url}`" + manual[len(opening):])
    about = markdown_to_rtf(manual)
    links = [("screenshot", base + "/zoom-drag.gif", "Zoom by dragging the ruler")]
    if args.website:
        links.insert(0, ("website", args.website, "Website"))

    lines = [
        '<?xml version="1.0" encoding="utf-8"?>',
        '<index version="1" name="Ruvenkal">',
        f'  <category name="{CATEGORY}">',
        f'    <reapack name="{PACKAGE}" type="extension"'
        ' desc="Ruvenkal: zoom by dragging the ruler (time display)">',
        *metadata(indent, about, links),
        *[indent + text for _, text in versions],
        "    </reapack>",
        "  </category>",
        *metadata("  ", about, links),
        "</index>",
    ]
    with open(args.out, "w", encoding="utf-8", newline="\n") as file:
        file.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
