#!/usr/bin/env python3
"""Builds and checks the help texts and the setting notes that ship in helpfiles/.

    python3 tools/helpfiles/helpfiles.py rtf     # tools/helpfiles/src/H000n.txt -> helpfiles/H000n.rtf
    python3 tools/helpfiles/helpfiles.py check   # check the .rtf files and helpfiles/pdp.txt
    python3 tools/helpfiles/helpfiles.py notes   # print part A and part B of every setting note

Source format (UTF-8): "= " title, "== " heading, "- " or "1. " list item, blank line between
paragraphs, other lines of a paragraph are joined with a space. Inline: **bold**, //italic//,
[[text of the program's window]] (shown in Polish quotes, dark red). Besides ASCII the sources may
use the Polish letters and the typography of code page 1250: en and em dashes, the quotes „ ”,
the ellipsis, × and the no-break space.

A number the model gives is written as a figure, {SOURCE:WHAT|SHOWN}, on one line: the help shows
SHOWN, and tests/session/help_figures_test.cpp holds it to the model. SOURCE is a teaching case's
id, or "run" with the settings of a run from the standard reference ("run rIntermediate=200"),
either followed by "@female,25,165" for a patient other than the case's or the default one; WHAT
is ROW.INDEX.KIND as in the case library (cases/teaching-cases.txt) or ROW.*NAME, a measure the
test names. A negative SHOWN is written with the en dash, as the help shows it.
"""
import re
import sys
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SRC = ROOT / "tools" / "helpfiles" / "src"
OUT = ROOT / "helpfiles"
NAMES = [f"H{n:04d}" for n in range(7)]

HEADER = (r"{\rtf1\ansi\ansicpg1250\deff0{\fonttbl{\f0\fswiss Arial;}}"
          r"{\colortbl;\red0\green0\blue0;\red0\green0\blue128;\red128\green0\blue0;}")

# The program's RTF reader decodes \'hh by code page 1250 (\ansicpg1250): the Polish letters and
# the typography below; anything else outside ASCII has no place in the help files.
POLISH = "ąćęłńóśźżĄĆĘŁŃÓŚŹŻ"
TYPOGRAPHY = "–—„”…×\u00a0"
CP1250 = POLISH + TYPOGRAPHY


def escape(text):
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ch in CP1250:
            out.append("\\'%02x" % ch.encode("cp1250")[0])
        elif " " <= ch <= "~":
            out.append(ch)
        else:
            raise ValueError(f"character {ch!r} has no place in the help files")
    return "".join(out)


INLINE = re.compile(r"\*\*(.+?)\*\*|//(.+?)//|\[\[(.+?)\]\]")
FIGURE = re.compile(r"\{[^{}|]+\|([^{}]*)\}")


def shown(source):
    """The source with each figure as the number it shows."""
    return FIGURE.sub(lambda m: m.group(1), source)


def inline(text):
    out, pos = [], 0
    for m in INLINE.finditer(text):
        out.append(escape(text[pos:m.start()]))
        if m.group(1) is not None:
            out.append(r"{\b " + inline(m.group(1)) + "}")
        elif m.group(2) is not None:
            out.append(r"{\i " + inline(m.group(2)) + "}")
        else:
            out.append(r"{\cf3 " + escape("„" + m.group(3) + "”") + "}")
        pos = m.end()
    out.append(escape(text[pos:]))
    return "".join(out)


LIST_ITEM = re.compile(r"^(- |\d+\. )")


def blocks(source):
    """Yields (kind, text): kind is title, heading, item or para."""
    para = []
    for line in source.splitlines() + [""]:
        line = line.rstrip()
        starts_block = not line or line.startswith("=") or LIST_ITEM.match(line)
        if starts_block and para:
            kind, text = para[0]
            yield kind, " ".join([text] + para[1:])
            para = []
        if not line:
            yield "gap", ""
        elif line.startswith("== "):
            yield "heading", line[3:]
        elif line.startswith("= "):
            yield "title", line[2:]
        elif LIST_ITEM.match(line):
            para = [("item", line)]
        elif para:
            para.append(line.strip())
        else:
            para = [("para", line)]


def to_rtf(source):
    source = shown(source)
    lines = [HEADER]
    first, gap_due, previous = True, False, None
    for kind, text in blocks(source):
        if kind == "gap":
            # An empty paragraph between blocks, none right under a heading.
            gap_due = previous not in (None, "heading")
            continue
        if gap_due:
            lines.append(r"\pard\ql\par")
        gap_due, previous = False, kind
        start = r"\pard\ql\fs20\cf1" if first else r"\pard\ql"
        first = False
        if kind == "title":
            lines.append(r"\pard\qc\fs20\cf1{\fs32\cf2\b " + inline(text) + r"}\par")
        elif kind == "heading":
            lines.append(start + r"{\fs28\cf2\b " + inline(text) + r"}\par")
        elif kind == "item":
            lines.append(start + r"\tab " + inline(text) + r"\par")
        else:
            lines.append(start + " " + inline(text) + r"\par")
    lines.append("}")
    return "\n".join(lines) + "\n"


def words(source):
    plain = INLINE.sub(lambda m: next(g for g in m.groups() if g is not None), shown(source))
    return len([w for w in re.split(r"\s+", plain.replace("=", " ")) if re.search(r"\w", w)])


ALLOWED = {"rtf1", "ansi", "ansicpg1250", "deff0", "fonttbl", "f0", "fswiss", "colortbl", "red",
           "green", "blue", "pard", "par", "line", "tab", "b", "b0", "i", "i0", "ul", "ulnone",
           "fs", "cf", "qc", "ql"}


def check_rtf(path):
    data = path.read_bytes()
    problems = []
    if any(b > 0x7e or (b < 0x20 and b != 0x0a) for b in data):
        problems.append("not plain ASCII")
    text = data.decode("ascii", "replace")
    if not text.startswith(HEADER):
        problems.append("does not start with the expected header")
    depth, i = 0, 0
    while i < len(text):
        ch = text[i]
        if ch == "\\":
            m = re.match(r"\\([a-z]+)(-?\d+)? ?|\\'([0-9a-f]{2})|\\[\\{}]", text[i:])
            if not m:
                problems.append(f"bad escape at {i}: {text[i:i+12]!r}")
                i += 1
                continue
            if m.group(1):
                word = m.group(1) + ("" if m.group(2) is None or m.group(1) in
                                     ("fs", "cf", "red", "green", "blue") else m.group(2))
                if word not in ALLOWED:
                    problems.append(f"control word \\{word}")
            if m.group(3):
                ch1250 = bytes([int(m.group(3), 16)]).decode("cp1250")
                if ch1250 not in CP1250:
                    problems.append(f"escape \\'{m.group(3)} is not a letter or sign of CP1250")
            i += m.end()
            continue
        depth += {"{": 1, "}": -1}.get(ch, 0)
        if depth < 0 or (depth == 0 and i < len(text.rstrip()) - 1):
            problems.append(f"group closed early at {i}")
            break
        i += 1
    if depth != 0:
        problems.append("unbalanced braces")
    return problems


def parse_note(lines, key):
    """The note box's reading of pdp.txt, step by step."""
    collected, collecting = "", False
    for line in lines:
        if line == "*":
            collecting = False
        if line.startswith("#"):
            if int(line[1:]) == key:
                collected, line, collecting = "", "", True
        if collecting:
            collected += line
    k = collected.find("+++")
    if k < 0:
        return collected, ""
    return collected[:k], collected[k + 3:len(collected) - 1]


def check_notes(path):
    raw = path.read_bytes()
    problems = []
    if raw.startswith(b"\xef\xbb\xbf"):
        problems.append("byte order mark: the first header would not be read")
    if b"\r" in raw:
        problems.append("carriage returns")
    if not raw.endswith(b"\n"):
        problems.append("no final line break")
    text = raw.decode("utf-8")
    text.encode("cp1250")  # the notes must also fit the 8-bit code page
    lines = text.split("\n")[:-1]
    in_entry, keys, body = False, [], []
    for n, line in enumerate(lines, 1):
        if not line:
            problems.append(f"line {n}: empty")
        elif line.startswith("#"):
            if in_entry or not re.fullmatch(r"#\d+", line):
                problems.append(f"line {n}: header {line!r} inside an entry or not #n")
            in_entry = True
            keys.append(int(line[1:]) if re.fullmatch(r"#\d+", line) else line)
            body = []
        elif line == "*":
            if not in_entry:
                problems.append(f"line {n}: '*' outside an entry")
            if body.count("+++") != 1 or body[-1] == "+++" or body[0] == "+++":
                problems.append(f"entry #{keys[-1]}: needs one '+++' between two parts")
            in_entry = False
        elif not in_entry:
            problems.append(f"line {n}: text outside an entry")
        else:
            body.append(line)
            if line != "+++" and not line.endswith(" "):
                problems.append(f"line {n}: text line does not end with a space")
            if line != "+++" and "+++" in line:
                problems.append(f"line {n}: '+++' inside a text line")
    if in_entry:
        problems.append("the last entry has no '*' line")
    if keys != list(range(1, 12)):
        problems.append(f"keys {keys} are not 1..11 once each")
    if problems:
        return problems, lines
    for key in range(1, 12):
        a, b = parse_note(lines, key)
        if not a.strip() or not b.strip():
            problems.append(f"note {key}: an empty part")
        if b != b.strip() or a.startswith(" "):
            problems.append(f"note {key}: part B loses more than its trailing space")
    return problems, lines


def main(argv):
    command = argv[1] if len(argv) > 1 else "check"
    if command == "rtf":
        for name in NAMES:
            source = (SRC / f"{name}.txt").read_text(encoding="utf-8")
            (OUT / f"{name}.rtf").write_text(to_rtf(source), encoding="ascii", newline="\n")
            print(f"{name}.rtf  {words(source)} words")
        return 0
    if command == "notes":
        _, lines = check_notes(OUT / "pdp.txt")
        for key in range(1, 12):
            a, b = parse_note(lines, key)
            print(f"#{key}\n  A: {a!r}\n  B: {b!r}")
        return 0
    if command == "check":
        failed = False
        for name in NAMES:
            problems = check_rtf(OUT / f"{name}.rtf")
            source = SRC / f"{name}.txt"
            if source.exists() and to_rtf(source.read_text(encoding="utf-8")) != \
                    (OUT / f"{name}.rtf").read_text(encoding="ascii"):
                problems.append("differs from its source: run the rtf command")
            for p in problems:
                print(f"{name}.rtf: {p}")
            failed |= bool(problems)
        problems, _ = check_notes(OUT / "pdp.txt")
        for p in problems:
            print(f"pdp.txt: {p}")
        failed |= bool(problems)
        print("problems found" if failed else "all help files check out")
        return 1 if failed else 0
    print(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv))
