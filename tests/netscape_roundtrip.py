#!/usr/bin/env python3
"""Reads a Netscape bookmark file with Python's own HTML parser and checks it
against the Favorites tree it was made from: the same folders, titles,
addresses and comments.

    netscape_roundtrip.py BOOKMARKS_HTML FAVORITES_DIR"""
import configparser
import os
import sys
from html.parser import HTMLParser


class Bookmarks(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.path = []          # folder names down to the current <DL>
        self.pending = None     # the name of an <H3> whose <DL> comes next
        self.entries = []       # (folders, title, url, comment)
        self.field = None       # what the current text belongs to

    def handle_starttag(self, tag, attrs):
        if tag == "dl":
            if self.pending is not None:
                self.path.append(self.pending)
                self.pending = None
        elif tag == "h3":
            self.field = "h3"
            self.pending = ""
        elif tag == "a":
            self.entries.append([tuple(self.path), "", dict(attrs)["href"], ""])
            self.field = "a"
        elif tag == "dd":
            self.field = "dd"

    def handle_endtag(self, tag):
        if tag == "dl" and self.path:
            self.path.pop()
        if tag in ("a", "h3"):
            self.field = None

    def handle_data(self, data):
        if self.field == "a":
            self.entries[-1][1] += data
        elif self.field == "h3":
            self.pending += data
        elif self.field == "dd":
            self.entries[-1][3] += data.strip()
            self.field = None if data.strip() else "dd"


def favorites(root):
    found = []
    for folder, dirs, files in os.walk(root):
        dirs[:] = [d for d in dirs if not d.startswith(".")]
        rel = os.path.relpath(folder, root)
        parts = () if rel == "." else tuple(rel.split(os.sep))
        for name in files:
            if name.startswith("."):
                continue
            ini = configparser.ConfigParser(interpolation=None)
            with open(os.path.join(folder, name), encoding="cp932") as f:
                ini.read_file(f)
            url = ini.get("InternetShortcut", "URL", fallback="")
            comment = ini.get("CommentKey", "Words", fallback="")
            title = name[: -len(".url")] if name.endswith(".url") else name
            found.append((parts, title, url, comment))
    return sorted(found)


def main():
    parser = Bookmarks()
    with open(sys.argv[1], encoding="utf-8") as f:
        text = f.read()
    parser.feed(text)
    got = sorted(tuple(e) for e in parser.entries)
    want = favorites(sys.argv[2])
    if got != want:
        print("bookmark file:", *got, sep="\n  ")
        print("favorites:", *want, sep="\n  ")
        return 1
    # Browsers' importers read one entry a line.
    for line in text.splitlines():
        if line.count("<DT>") > 1:
            print("two entries on one line:", line)
            return 1
    print(f"{len(got)} favorites read back alike")
    return 0


if __name__ == "__main__":
    sys.exit(main())
