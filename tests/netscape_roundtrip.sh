#!/usr/bin/env bash
# Exports a copy of the sample tree as a Netscape bookmark file and reads it back.
#   netscape_roundtrip.sh BRIMMARK_CLI EXAMPLES_DIR
set -euo pipefail
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp -r "$2/Favorites" "$scratch/Favorites"
# The settings now live under the home's config folder: keep the real one out.
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config"
"$1" --favorites "$scratch/Favorites" export netscape --output "$scratch/bookmarks.html" >/dev/null
python3 "$(dirname "$0")/netscape_roundtrip.py" "$scratch/bookmarks.html" "$scratch/Favorites"
