#!/usr/bin/env bash
# Exports a copy of the sample tree as a Netscape bookmark file and reads it back.
#   netscape_roundtrip.sh BRIMMARK_CLI EXAMPLES_DIR
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$2/Favorites" "$scratch/Favorites"
"$1" --favorites "$scratch/Favorites" export netscape --output "$scratch/bookmarks.html" >/dev/null
python3 "$(dirname "$0")/netscape_roundtrip.py" "$scratch/bookmarks.html" "$scratch/Favorites"
