#!/usr/bin/env python3
"""Every message text the program can show is on the compiled help's messages page.

usage: help_messages_test.py SOURCE_ROOT VANTORIC_CHM

The texts are read from the product's sources: the text argument of each
ShowMessage, ShowGuidMessage and the cancel text of ReportNetshFailure (string
literals, and the constants they name), every text given to an edit gate, and
what `vantoric /list` writes to standard error (WriteError, and the reasons a
command line is refused).
A text built at run time is checked by its fixed parts (the guards' texts
between their %1 and %2 inserts too); the system's own words
and netsh's are not the program's. The page is taken out of the .chm with
extract_chmLib, so what is checked is what the user's help viewer shows.
"""
import html, os, re, subprocess, sys, tempfile

LITERAL = r'"(?:[^"\\]|\\.)*"'
FOLDERS = ("app", "core", "controls", "dialogs", "framework")


def decode(literals):
    """The text of adjacent C++ string literals."""
    parts = re.findall(LITERAL, literals)
    return "".join(bytes(p[1:-1], "utf-8").decode("unicode_escape") for p in parts)


def arguments(text, start):
    """The top-level arguments of the call whose '(' is at text[start]."""
    depth, args, cur, i = 0, [], "", start + 1
    while i < len(text):
        c = text[i]
        if c == '"':
            m = re.match(LITERAL, text[i:])
            cur += m.group(0)
            i += len(m.group(0))
            continue
        if c in "([{":
            depth += 1
        elif c in ")]}":
            if depth == 0:
                args.append(cur.strip())
                return args
            depth -= 1
        elif c == "," and depth == 0:
            args.append(cur.strip())
            cur = ""
            i += 1
            continue
        cur += c
        i += 1
    return args


def program_texts(root):
    sources = {}
    for folder in FOLDERS:
        for dirpath, _, files in os.walk(os.path.join(root, folder)):
            for f in files:
                if f.endswith((".cpp", ".h")):
                    path = os.path.join(dirpath, f)
                    sources[os.path.relpath(path, root)] = open(path, encoding="utf-8").read()
    constants = {}
    for text in sources.values():
        for m in re.finditer(r"(?:char|std::string_view)\s+(\w+)(?:\[\])?\s*=\s*((?:\s*" + LITERAL + r")+)\s*;", text):
            constants[m.group(1)] = decode(m.group(2))
    calls = {"ShowMessage": 1, "ShowGuidMessage": 0, "ReportNetshFailure": 3, "WriteError": 0}
    found = []
    for where, text in sources.items():
        for name, index in calls.items():
            for m in re.finditer(r"\b" + name + r"\s*\(", text):
                args = arguments(text, m.end() - 1)
                if len(args) > index:
                    found.append((where, args[index]))
        for m in re.finditer(r"m_str(?:Message|Reason)\s*=\s*([^;]+);", text):
            found.append((where, m.group(1)))
    # The guards' texts reach the boxes through their verdicts; their fixed
    # parts are checked (the history's notes are no box).
    for name, text in constants.items():
        if name.startswith("GUARD_") and not name.endswith("_UNCHECKED"):
            found.append(("core/address_guards.h", name))
    texts = []
    for where, expression in found:
        for part in re.split(r"\s\+\s", expression):
            part = part.strip()
            if part.startswith('"'):
                texts.append((where, decode(part)))
            elif part in constants:
                texts.append((where, constants[part]))
    return texts


def page_text(chm):
    with tempfile.TemporaryDirectory() as out:
        subprocess.run(["extract_chmLib", chm, out], check=True, stdout=subprocess.DEVNULL)
        page = open(os.path.join(out, "messages.htm"), encoding="windows-1252").read()
    page = html.unescape(re.sub(r"<[^>]+>", " ", page))
    return " ".join(page.split())


def main():
    root, chm = sys.argv[1], sys.argv[2]
    page = page_text(chm)
    texts = program_texts(root)
    passed = failed = 0
    for where, text in texts:
        for line in re.split(r"\n|%[0-9]", text):
            line = " ".join(line.split())
            if len(line) < 4:
                continue
            if line in page:
                passed += 1
            else:
                failed += 1
                print(f"not on the messages page: \"{line}\" ({where})")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed or passed < 30 else 0


if __name__ == "__main__":
    sys.exit(main())
