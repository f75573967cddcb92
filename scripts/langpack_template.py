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
    """(section, English text, identifier) in the table's order."""
    entries = []
    with open(path, encoding="utf-8") as table:
        for line in table:
            match = ENTRY.match(line.strip())
            if match:
                entries.append((match.group(2), match.group(3), match.group(1)))
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
    "ruvenkal_menu": ["; The Extensions > Ruvenkal submenu. The letter after & is the item's key:",
                      "; keep each one unique within this submenu."],
    "ruvenkal_DLG_101": ['; IDD_CONFIG: the "Ruvenkal config" dialog. "time display" is REAPER\'s',
                         "; ruler. The letter after & goes to its control with Alt: keep each one",
                         "; unique within the dialog."],
}

# Texts that say too little on their own: the lines above each say where it shows.
TEXT_NOTES = {
    "TEXT_DIALOG_PIXELS": ['; "px" means pixels; it follows the fields of "Lock lower half after:"',
                           '; and "Upper half zooms after:".'],
    "TEXT_FOCUS_HOST": ['; The "Zoom around:" list: the point that stays put while zooming. The first',
                        "; item follows REAPER's own \"Horizontal zoom center\" preference; the others",
                        "; are that preference's choices, in REAPER's own words."],
    "TEXT_MODIFIER_ANY": ['; The "Zoom when:" list: the keys a drag must start with to zoom.'],
}


def sections(entries, line_of):
    lines = []
    for section in dict.fromkeys(s for s, _, _ in entries):
        lines += [""] + SECTION_NOTES.get(section, []) + [f"[{section}]"]
        for s, text, name in entries:
            if s == section:
                lines += TEXT_NOTES.get(name, []) + [line_of(text)]
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
                    "; file. At each update of the pack, replace the ruvenkal_* sections you added",
                    "; before rather than adding them again. They do no harm to users without",
                    "; Ruvenkal: REAPER ignores sections that nothing asks for.",
                    "; To see your translation, choose the pack in REAPER's preferences (General,",
                    "; language pack) and restart REAPER.",
                    "; Ruvenkal's dialog widens itself to fit longer texts: no 5CA1E00000000000=",
                    "; scale line is needed for it."]
          + sections(entries, lambda text: f";{key(text)}={text}"))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
