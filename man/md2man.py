#!/usr/bin/env python3
"""Turns a manual page written in the Markdown of man/*.md into roff for man(1):

    python3 man/md2man.py man/oxel-kt.md > man/oxel-kt.3

The pages use a small part of Markdown: a first line '# name(section) -- summary', '##' and '###'
headings, paragraphs, '- ' lists of one level, fenced code blocks, pipe tables, `code`, *italic*,
**bold** and links. Both forms are kept in the repository, the Markdown to read and edit, the roff
to install (the build needs no Python); the tests check that the roff is made from the Markdown."""
import re
import sys

VERSION = "oxel 0.1.0"
TITLE = re.compile(r"# (\S+)\((\d)\) -- (.*)")
TABLE_RULE = re.compile(r"^\|?\s*:?-+:?\s*(\|\s*:?-+:?\s*)*\|?$")
LONG_CELL = 24  # a longer cell wraps
MANUALS = {"1": "User Commands", "3": "Library Functions", "5": "File Formats", "7": "Miscellaneous"}


def escape(text):
    """Roff text: backslashes shown as they are, no line taken for a request."""
    text = text.replace("\\", "\\e")
    return "\\&" + text if text[:1] in (".", "'") else text


def inline(text):
    """Markdown spans as fonts; the hyphens of code become minus signs, which man keeps as typed."""
    out, pos = [], 0
    for m in re.finditer(r"`([^`]+)`|\*\*(.+?)\*\*|\*(.+?)\*|\[([^\]]+)\]\([^)]+\)", text):
        out.append(escape_span(text[pos:m.start()]))
        if m[1] is not None:
            out.append("\\fB" + escape_span(m[1]).replace("-", "\\-") + "\\fR")
        elif m[2] is not None:
            out.append("\\fB" + escape_span(m[2]) + "\\fR")
        elif m[3] is not None:
            out.append("\\fI" + escape_span(m[3]) + "\\fR")
        else:
            out.append(escape_span(m[4]))
        pos = m.end()
    out.append(escape_span(text[pos:]))
    line = "".join(out)
    return "\\&" + line if line[:1] in (".", "'") else line


def escape_span(text):
    return text.replace("\\|", "\0").replace("\\", "\\e").replace("\0", "|")


def cells(row):
    row = row.strip()
    row = row[1:] if row.startswith("|") else row
    row = row[:-1] if row.endswith("|") and not row.endswith("\\|") else row
    return [c.strip() for c in re.split(r"(?<!\\)\|", row)]


def table(rows):
    """A tbl table: the header in bold, long cells as text blocks that wrap, in columns that share
    the width of the line."""
    width = max(len(r) for r in rows)
    rows = [r + [""] * (width - len(r)) for r in rows]
    wide = [any(len(r[c]) > LONG_CELL for r in rows) for c in range(width)]
    out = [".TS", "tab(\t);", " ".join(["lb"] * width), " ".join("lx" if w else "l" for w in wide) + "."]
    for i, row in enumerate(rows):
        out.append("\t".join(f"T{{\n{inline(c)}\nT}}" if len(c) > LONG_CELL else inline(c) for c in row))
        if i == 0:
            out.append("_")
    out.append(".TE")
    return out


def convert(lines):
    m = TITLE.fullmatch(lines[0].rstrip())
    if not m:
        raise SystemExit(f"md2man: the first line must be '# name(section) -- summary', not {lines[0]!r}")
    name, section, summary = m.groups()
    # No hyphenation and no justification: names and commands stay whole, to be found and copied.
    out = ["'\\\" t", f'.TH {name.upper()} {section} "2026" "{VERSION}" "{MANUALS[section]}"', ".nh", ".ad l",
           ".SH NAME", f"{name} \\- {escape(summary)}"]
    i, paragraph = 1, []

    def flush():
        if paragraph:
            out.extend([".PP"] + [inline(p) for p in paragraph])
            paragraph.clear()

    while i < len(lines):
        line = lines[i].rstrip("\n")
        stripped = line.strip()
        if line.startswith("```"):
            flush()
            i += 1
            out.extend([".PP", ".RS 4", ".nf"])
            while i < len(lines) and not lines[i].startswith("```"):
                out.append(escape(lines[i].rstrip("\n")).replace("-", "\\-"))
                i += 1
            out.extend([".fi", ".RE"])
        elif line.startswith("## "):
            flush()
            out.append(".SH " + inline(line[3:].upper()))
        elif line.startswith("### "):
            flush()
            out.append(".SS " + inline(line[4:]))
        elif stripped.startswith("|") and i + 1 < len(lines) and TABLE_RULE.match(lines[i + 1].strip()):
            flush()
            rows = [cells(line)]
            i += 2
            while i < len(lines) and lines[i].strip().startswith("|"):
                rows.append(cells(lines[i]))
                i += 1
            out.extend([".PP"] + table(rows))
            continue
        elif line.startswith("- "):
            flush()
            item = [line[2:]]
            while i + 1 < len(lines) and lines[i + 1].startswith("  ") and lines[i + 1].strip():
                i += 1
                item.append(lines[i].strip())
            out.extend([".IP \\(bu 2"] + [inline(p) for p in item])
        elif not stripped:
            flush()
        else:
            paragraph.append(stripped)
        i += 1
    flush()
    return "\n".join(out) + "\n"


def main():
    with open(sys.argv[1], encoding="utf-8") as f:
        sys.stdout.write(convert(f.read().split("\n")))


if __name__ == "__main__":
    main()
