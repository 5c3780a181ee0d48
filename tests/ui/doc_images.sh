#!/usr/bin/env bash
# The help's pictures, drawn offscreen from a scratch copy of the sample tree:
# every one is written (each mode also with each menu open), each mode and
# dialog at its form's size in pixels (twips / 15 at 96 dpi), none is of a
# single colour.
#   doc_images.sh BRIMMARK_DOC_IMAGES FAVORITES
set -euo pipefail
command -v identify >/dev/null || exit 77
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$2" "$scratch/Favorites"
XDG_CONFIG_HOME="$scratch/config" QT_QPA_PLATFORM=offscreen BRIMMARK_CODEPAGE=CP932 \
  timeout 120 "$1" "$scratch/Favorites" "$scratch/out" >/dev/null 2>"$scratch/log" || {
  cat "$scratch/log" >&2
  exit 1
}
status=0
# An empty size: any.
while read -r name size; do
  file="$scratch/out/$name.png"
  if [ ! -s "$file" ]; then
    echo "$name.png: not written" >&2
    status=1
    continue
  fi
  read -r got colours < <(identify -format '%wx%h %k\n' "$file")
  if [ -n "$size" ] && [ "$got" != "$size" ]; then
    echo "$name.png: $got, not $size" >&2
    status=1
  fi
  if [ "$colours" -lt 3 ]; then
    echo "$name.png: blank ($colours colours)" >&2
    status=1
  fi
done <<'LIST'
main-window
mode1-compact 272x79
mode2-list 414x285
mode3-full 414x437
mode1-compact-filemenu
mode1-compact-Msearch
mode1-compact-other
mode1-compact-uhelp
mode2-list-filemenu
mode2-list-Msearch
mode2-list-other
mode2-list-uhelp
mode3-full-filemenu
mode3-full-Msearch
mode3-full-other
mode3-full-uhelp
search
folders
input-box 408x160
form2-fixed-keywords 338x235
form3-search-options 374x210
form4-html-options 260x174
form5-shortcuts 208x144
form6-about 360x160
form7-auto-copy 247x147
form8-import 360x260
LIST
exit $status
