#!/usr/bin/env python3
"""Writes Ruvenkal's LangPack template from the table of its texts (src/texts/ui_texts.def).

    langpack_template.py TABLE OUT [VERSION]   the template for translators: every text commented
                                               out as ;KEY=English, under its section
    langpack_template.py --pseudo TABLE OUT    a pseudo-translation for tests: every text longer
                                               and outside ASCII, with its letter for Alt kept

KEY is the host's: 64-bit FNV-1 of the text's UTF-8 bytes and its terminating zero, in 16
upper-case hex digits.
"""
import re
import sys

ENTRY = re.compile(r'^UI_TEXT\(\s*(\w+)\s*,\s*"([^"]*)"\s*,\s*"([^"]*)"\s*\)\s*$')


def key(text):
    value = 0xCBF29CE484222325
    for byte in text.encode("utf-8") + b"\0":
        value = (value * 0x100000001B3) % (1 << 64)
        value ^= byte
    return "%016X" % value


def read_table(path):
    """(section, English text) in the table's order."""
    entries = []
    with open(path, encoding="utf-8") as table:
        for line in table:
            match = ENTRY.match(line.strip())
            if match:
                entries.append((match.group(2), match.group(3)))
    if not entries:
        sys.exit(f"{path}: no UI_TEXT entries")
    return entries


ACCENTED = dict(zip("AaCcEeIiLlNnOoSsUuYyZz", "ÅåÇçÉéÎîĹĺÑñÖöŠšÜüÝýŽž"))


def pseudo(text):
    """Longer by a third or more, with letters outside ASCII; '&' keeps marking a letter."""
    shown = "".join(ACCENTED.get(c, c) for c in text)
    padding = ("Жщ" * len(text))[:max(2, -(-len(text) // 3))]
    return f"{shown} {padding}"


def write(path, lines):
    with open(path, "w", encoding="utf-8", newline="\n") as out:
        out.write("\n".join(lines) + "\n")


# Where each section's texts show, written above it for translators.
SECTION_NOTES = {
    "ruvenkal_actions": ["; The action list (Actions > Show action list)."],
    "ruvenkal_menu": ["; The Extensions > Ruvenkal submenu."],
    "ruvenkal_DLG_101": ['; IDD_CONFIG: the "Ruvenkal config" dialog.',
                         '; "px" means pixels; "time display" is REAPER\'s ruler.'],
}


def sections(entries, line_of):
    lines = []
    for section in dict.fromkeys(s for s, _ in entries):
        lines += [""] + SECTION_NOTES.get(section, []) + [f"[{section}]"]
        lines += [line_of(text) for s, text in entries if s == section]
    return lines


def main(argv):
    if len(argv) >= 3 and argv[0] == "--pseudo":
        entries = read_table(argv[1])
        write(argv[2], ["#NAME:Ruvenkal pseudo-translation (tests)",
                        "; Made by scripts/langpack_template.py --pseudo from src/texts/ui_texts.def."]
              + sections(entries, lambda text: f"{key(text)}={pseudo(text)}"))
        return 0
    if len(argv) not in (2, 3):
        sys.exit(__doc__)
    entries = read_table(argv[0])
    version = f" {argv[2]}" if len(argv) == 3 else ""
    write(argv[1], [f"#NAME:Ruvenkal{version} (template)",
                    "; Ruvenkal's texts for a REAPER LangPack. Translate them in a file of your own,",
                    "; saved as UTF-8: remove the ; before each line you translate and write the",
                    "; translation after the =. Add its sections to the end of your .ReaperLangPack",
                    "; file, again after each update of the pack, and restart REAPER."]
          + sections(entries, lambda text: f";{key(text)}={text}"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
