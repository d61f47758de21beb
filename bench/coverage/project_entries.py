#!/usr/bin/env python3
"""Lists the uses-clause entries of Object Pascal project files (.dpr, .lpr)
that name their unit file with "in", independently of Codeweft's scanner.

For every project file given it prints one line: the path, a tab, and the
entries separated by "|", each written "name=file=c" where c is 1 when the
entry stands inside a conditional region ({$IF...}/{$IFDEF...} up to its
{$ENDIF}/{$IFEND}) of the clause and 0 otherwise.

Method, and its limits:
- Comments ({...}, (*...*), //...) and quoted strings are recognised by one
  regular expression; directives ({$...}, (*$...*)) only for their
  conditional regions, which are not evaluated.
- The uses clause is the first word "uses" after the program or library
  heading, up to the next ";" outside strings and comments.
- An entry is a dotted name, possibly followed by "in" and a quoted file
  name; an entry without "in" is listed with an empty file name (the scan
  does not open those: they are outside the project by design).
"""
import re
import sys

TOKEN = re.compile(
    r"(?P<dir>\{\$[^}]*\}|\(\*\$.*?\*\))|(?P<com>\{[^}]*\}|\(\*.*?\*\)|//[^\n]*)"
    r"|(?P<str>'(?:[^'\n]|'')*')|(?P<id>&?[A-Za-z_][A-Za-z0-9_]*)|(?P<sym>[^\sA-Za-z_'{(/]+|[(/])",
    re.S)
OPEN = re.compile(r"^(?:\{\$|\(\*\$)\s*(if|ifdef|ifndef|ifopt)\b", re.I)
CLOSE = re.compile(r"^(?:\{\$|\(\*\$)\s*(endif|ifend)\b", re.I)


def entries(text):
    tokens = [(m.lastgroup, m.group()) for m in TOKEN.finditer(text)]
    words = [t for t in tokens if t[0] == "id"]
    if not words or words[0][1].lower() not in ("program", "library"):
        return None
    i = next((k for k, t in enumerate(tokens) if t[0] == "id" and t[1].lower() == "uses"), None)
    if i is None:
        return []
    found, depth, name, expect_file, last = [], 0, [], False, ""
    for kind, text in tokens[i + 1:]:
        if kind == "dir":
            if OPEN.match(text):
                depth += 1
            elif CLOSE.match(text) and depth > 0:
                depth -= 1
            continue
        if kind == "com":
            continue
        if kind == "sym" and ("," in text or ";" in text) and name and not expect_file:
            found.append((".".join(name), "", 1 if depth else 0))
            name = []
        if kind == "sym" and ";" in text:
            break
        if expect_file:
            if kind == "str":
                found.append((".".join(name), text[1:-1], 1 if depth else 0))
            expect_file = False
            name = []
            continue
        if kind == "id" and text.lower() == "in" and name:
            expect_file = True
        elif kind == "id":
            name = name + [text.lstrip("&")] if name and last == "." else [text.lstrip("&")]
        elif kind == "sym" and "," in text:
            name = []
        last = text
    return found


def main():
    for path in sys.argv[1:]:
        with open(path, "rb") as f:
            text = f.read().decode("latin-1")
        found = entries(text)
        if found is None:
            continue
        print("%s\t%s" % (path, "|".join("%s=%s=%d" % e for e in found)))


if __name__ == "__main__":
    main()
