#!/usr/bin/env bash
# The same bookmark stores imported by the Linux brimmark-cli and by
# brimmark-cli.exe under Wine must make the same favorites: a Firefox
# places.sqlite, a Chromium Bookmarks file and a bookmark file as browsers
# export it, each imported into a Favorites folder of each program's own. The
# two trees must hold the same files, byte for byte, each program must list
# them alike (`--json list`, but for the absolute paths), and both must say
# the same of what they refused.
#   tests/windows-import.sh LINUX_CLI BUILD_DIR
# Needs a Wine prefix of its own in $WINEPREFIX (scripts/test-windows makes
# one). Windows reads and writes in its ANSI code page, so brimmark-cli.exe
# runs with a Japanese locale (code page 932, as the Linux build's default),
# made with localedef into $LOCPATH, or here when that is not set.
set -euo pipefail
linux=$(realpath "$1")
windows="$(realpath "$2")/cli/brimmark-cli.exe"
wine=$(command -v wine || command -v wine64)

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -z "${LOCPATH:-}" ]; then
  export LOCPATH="$work/locale"
  mkdir -p "$LOCPATH"
  localedef -i ja_JP -f UTF-8 "$LOCPATH/ja_JP.UTF-8" >/dev/null 2>&1 || [ -d "$LOCPATH/ja_JP.UTF-8" ]
fi
# Wine sees the Unix file system as drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# The stores: Japanese names, names Windows forbids, reserved device names,
# names given twice, addresses given twice, tags, descriptions, a saved query,
# a comment the code page cannot hold, empty folders.
python3 - "$work" "$(dirname "$0")" <<'PY'
import json, os, sys
sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[2])
import firefox_places
work = sys.argv[1]
firefox_places.make(os.path.join(work, "places.sqlite"), """
INSERT INTO moz_places (id, url, title) VALUES
  (1, 'https://www.mozilla.org/', 'M'), (2, 'https://www3.nhk.or.jp/news/', 'N'),
  (3, 'place:sort=8&maxResults=10', 'Recent'), (4, 'http://a.example/?q=1&r=2', 'A'),
  (5, 'https://ja.wikipedia.org/wiki/%E6%97%A5%E6%9C%AC', 'W'), (6, 'http://con.example/', 'C'),
  (7, 'http://emoji.example/', 'E'), (8, 'http://untitled.example/path', NULL);
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES
  (10, 1, 1, 2, 0, 'Mozilla', 'aaaaaaaaaaaa'), (11, 3, NULL, 2, 1, '', 'sepsepsepsep'),
  (12, 1, 3, 2, 2, 'Recent', 'qqqqqqqqqqqq'), (13, 2, NULL, 3, 0, 'ニュース', 'ffffffffffff'),
  (14, 1, 2, 13, 0, 'NHK ニュース', 'nnnnnnnnnnnn'), (15, 1, 4, 13, 1, 'a:b?c*d', 'bbbbbbbbbbbb'),
  (16, 1, 5, 3, 1, '日本 - Wikipedia', 'wwwwwwwwwwww'), (17, 1, 6, 5, 0, 'CON', 'cccccccccccc'),
  (18, 1, 7, 5, 1, 'Emoji', 'eeeeeeeeeeee'), (19, 1, 8, 6, 0, NULL, 'uuuuuuuuuuuu'),
  (20, 1, 1, 13, 2, 'Mozilla', 'dddddddddddd'), (21, 2, NULL, 3, 2, '空', 'kkkkkkkkkkkk'),
  (30, 2, NULL, 4, 0, 'web', 'tag1tag1tag1'), (31, 1, 1, 30, 0, NULL, 'tb1tb1tb1tb1'),
  (32, 2, NULL, 4, 1, '技術', 'tag2tag2tag2'), (33, 1, 5, 32, 0, NULL, 'tb2tb2tb2tb2');
INSERT INTO moz_anno_attributes VALUES (1, 'bookmarkProperties/description');
INSERT INTO moz_items_annos (item_id, anno_attribute_id, content) VALUES
  (14, 1, '毎日の説明'), (18, 1, 'smile 😀');
""")

def url(name, address):
    return {"type": "url", "name": name, "url": address}
def folder(name, children):
    return {"type": "folder", "name": name, "children": children}
chromium = {"checksum": "0", "version": 1, "roots": {
    "bookmark_bar": folder("Bookmarks bar", [
        url("Debian", "https://www.debian.org/"), url("Debian", "https://debian.example/"),
        folder("技術", [url("CMake", "https://cmake.org/"), folder("空", [])]),
        folder("技術", [url("Qt", "https://doc.qt.io/")]),
        url("dup", "https://www.debian.org/"), url("PRN.txt", "http://prn.example/")]),
    "other": folder("Other bookmarks", [url("  . hidden . ", "http://dots.example/"),
                                        url("x" * 150, "http://long.example/")]),
    "synced": folder("Mobile bookmarks", [url("携帯", "http://m.example/")])}}
with open(os.path.join(work, "Bookmarks"), "w", encoding="utf-8") as f:
    json.dump(chromium, f, ensure_ascii=False)

with open(os.path.join(work, "bookmarks.html"), "w", encoding="utf-8") as f:
    f.write("""<!DOCTYPE NETSCAPE-Bookmark-file-1>
<META HTTP-EQUIV="Content-Type" CONTENT="text/html; charset=UTF-8">
<TITLE>Bookmarks</TITLE>
<H1>Bookmarks Menu</H1>
<DL><p>
    <DT><A HREF="https://www.mozilla.org/" ADD_DATE="1" TAGS="web,mozilla">Mozilla &amp; Co</A>
    <DD>The &lt;browser&gt; maker
    <HR>
    <DT><H3 PERSONAL_TOOLBAR_FOLDER="true">ブックマーク ツールバー</H3>
    <DL><p>
        <DT><A HREF="http://t.example/">Toolbar/link</A>
        <DT><H3>入れ子</H3>
        <DL><p>
            <DT><A HREF="http://n.example/">深い</A>
            <DD>深い説明
        </DL><p>
        <DT><A HREF="http://after.example/">After</A>
    </DL><p>
    <DT><A HREF="http://last.example/">Last</A>
</DL>
""")
PY

status=0
for source in "firefox places.sqlite" "chromium Bookmarks" "netscape bookmarks.html"; do
  read -r kind store <<<"$source"
  mkdir -p "$work/linux/$kind" "$work/windows/$kind"
  # The same arguments, each in its system's paths.
  set +e
  timeout 120 "$linux" --favorites "$work/linux/$kind" --json import "$kind" "$work/$store" \
    >"$work/$kind.linux.json" 2>"$work/$kind.linux.err"
  linux_rc=$?
  LANG=ja_JP.UTF-8 timeout 120 "$wine" "$windows" --favorites "$(winpath "$work/windows/$kind")" --json \
    import "$kind" "$(winpath "$work/$store")" </dev/null >"$work/$kind.windows.json" \
    2>"$work/$kind.windows.err"
  windows_rc=$?
  set -e
  "$linux" --favorites "$work/linux/$kind" --json list >"$work/$kind.linux.list"
  LANG=ja_JP.UTF-8 timeout 120 "$wine" "$windows" --favorites "$(winpath "$work/windows/$kind")" \
    --json list </dev/null >"$work/$kind.windows.list"
  if ! python3 - "$kind" "$work" "$linux_rc" "$windows_rc" <<'PY'; then
import json, sys
kind, work, linux_rc, windows_rc = sys.argv[1:]
def load(system, what):
    with open(f"{work}/{kind}.{system}.{what}", encoding="utf-8") as f:
        return json.load(f)
def without_paths(rows):
    return [{k: v for k, v in r.items() if k != "path"} for r in rows]
def said(system):
    # What was refused is named by its place in the Favorites folder.
    with open(f"{work}/{kind}.{system}.err", encoding="utf-8") as f:
        return f.read().replace("\r", "").splitlines()
ok = True
def check(what, a, b):
    global ok
    if a != b:
        print(f"{kind}: {what} differ:\n  Linux:   {a}\n  Windows: {b}", file=sys.stderr)
        ok = False
check("exit statuses", linux_rc, windows_rc)
linux, windows = load("linux", "json"), load("windows", "json")
for key in ("imported", "duplicates", "refused"):
    check(key, linux[key], windows[key])
check("lists", without_paths(load("linux", "list")), without_paths(load("windows", "list")))
check("messages", said("linux"), said("windows"))
rows = load("linux", "list")
print(f"{kind}: {linux['imported']} imported, {linux['duplicates']} duplicates, "
      f"{linux['refused']} refused, {len(rows)} listed alike")
sys.exit(0 if ok else 1)
PY
    status=1
  fi
  if ! diff -r "$work/linux/$kind" "$work/windows/$kind" >&2; then
    echo "$kind: the imported files differ" >&2
    status=1
  fi
done
exit $status
