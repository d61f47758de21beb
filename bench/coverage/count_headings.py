#!/usr/bin/env python3
"""Counts the routine headings of the interface part of Object Pascal units
with a few regular expressions, independently of Codeweft's grammar.

For every unit file given (or found under the folders given) it prints one
line: the path, a tab, and the number of headings.

Method, and its limits:
- Comments ({...}, (*...*), //...) and quoted strings are removed first;
  compiler directives are comments too, so every branch of a conditional is
  counted, whichever is switched on.
- The file must start (after comments) with "unit"; its interface part is
  the text from the first word "interface" to the first word
  "implementation" (or the end of the file).
- A heading is one of the words procedure, function, constructor,
  destructor or operator followed by a name: an identifier, possibly dotted
  or "&"-escaped. Procedural types ("= procedure(...)", "reference to
  function") have no name and are not counted; neither are operators named
  by a symbol ("operator +(...)").
- Include files are not followed: a heading written in an included file is
  not counted (nor is it seen by the symbol pass today).
"""
import os
import re
import sys

COMMENTS_AND_STRINGS = re.compile(
    r"\{[^}]*\}|\(\*.*?\*\)|//[^\n]*|'(?:[^'\n]|'')*'", re.S)
WORD = re.compile(r"[A-Za-z_][A-Za-z0-9_]*")
UNIT = re.compile(r"\s*unit\b", re.I)
INTERFACE = re.compile(r"\binterface\b", re.I)
IMPLEMENTATION = re.compile(r"\bimplementation\b", re.I)
HEADING = re.compile(
    r"\b(procedure|function|constructor|destructor|operator)\s+&?([A-Za-z_][A-Za-z0-9_]*)",
    re.I)
NOT_NAMES = {"of", "is", "to"}


def interface_part(text):
    text = COMMENTS_AND_STRINGS.sub(" ", text)
    if not UNIT.match(text):
        return None
    start = INTERFACE.search(text)
    if not start:
        return None
    end = IMPLEMENTATION.search(text, start.end())
    return text[start.end():end.start() if end else len(text)]


def count(path):
    with open(path, "rb") as f:
        text = f.read().decode("latin-1")
    part = interface_part(text)
    if part is None:
        return None
    return sum(1 for m in HEADING.finditer(part) if m.group(2).lower() not in NOT_NAMES)


def unit_files(args):
    for arg in args:
        if os.path.isfile(arg):
            yield arg
            continue
        for root, dirs, files in os.walk(arg):
            dirs.sort()
            for name in sorted(files):
                if name.lower().endswith((".pas", ".pp")):
                    yield os.path.join(root, name)


def main():
    for path in unit_files(sys.argv[1:]):
        n = count(path)
        if n is not None:
            print("%s\t%d" % (path, n))


if __name__ == "__main__":
    main()
