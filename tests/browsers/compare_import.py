#!/usr/bin/env python3
"""Checks what brimmark-cli imported from a real browser.

    compare_import.py WHAT EXPECTED FOLDER FIRST_JSON SECOND_JSON LIST_JSON

EXPECTED holds one favorite a line, "folder<TAB>name<TAB>url<TAB>comment"
(folder relative to FOLDER, "\\" for FOLDER itself), and a line
"# duplicates: N" with the number of bookmarks the import skips because
their address is in their folder already. FIRST_JSON and SECOND_JSON are
what two imports in a row printed, LIST_JSON what `list --json` printed
after them."""
import json
import sys


def main():
    what, expected_file, folder, first_file, second_file, list_file = sys.argv[1:]
    want, duplicates = [], 0
    with open(expected_file, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if line.startswith("# duplicates:"):
                duplicates = int(line.split(":")[1])
            elif line and not line.startswith("#"):
                sub, name, url, comment = line.split("\t")
                want.append((folder + sub.lstrip("\\"), name, url, comment))
    with open(first_file, encoding="utf-8") as f:
        first = json.load(f)
    with open(second_file, encoding="utf-8") as f:
        second = json.load(f)
    with open(list_file, encoding="utf-8") as f:
        got = [(e["folder"], e["name"], e["url"], e["comment"])
               for e in json.load(f) if e["folder"].startswith(folder)]

    problems = []
    for row in sorted(set(want) - set(got)):
        problems.append("missing: " + " | ".join(row))
    for row in sorted(set(got) - set(want)):
        problems.append("unexpected: " + " | ".join(row))
    if len(got) != len(want):
        problems.append(f"{len(got)} favorites, {len(want)} expected")
    if (first["imported"], first["duplicates"], first["refused"]) != (len(want), duplicates, 0):
        problems.append(f"first import: {first['imported']} imported, "
                        f"{first['duplicates']} duplicates, {first['refused']} refused; "
                        f"expected {len(want)}, {duplicates}, 0")
    if (second["imported"], second["duplicates"]) != (0, len(want) + duplicates):
        problems.append(f"second import: {second['imported']} imported, "
                        f"{second['duplicates']} duplicates; expected 0, {len(want) + duplicates}")
    if problems:
        print(f"{what}: from {first['source']}", file=sys.stderr)
        print("\n".join("  " + p for p in problems), file=sys.stderr)
        sys.exit(1)
    folders = len({row[0] for row in want})
    print(f"{what}: {len(want)} favorites in {folders} folders matched names, folders, "
          f"addresses and comments; {duplicates} skipped as duplicates; "
          f"imported again, all {len(want) + duplicates} skipped")


main()
