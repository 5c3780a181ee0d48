#!/usr/bin/env bash
# Lets a real Chromium and a real Firefox keep bookmarks of their own, in a
# scratch home, and imports them with brimmark-cli while the browser runs:
# Chromium's "Bookmarks" file, Firefox's places.sqlite (in use, with its
# write-ahead log) and the bookmark file Firefox exports when it quits. Each
# import is compared with the favorites it should give, and imported a second
# time to prove that nothing is written twice.
#   check_real_browsers.sh BRIMMARK_CLI
# Says it skipped, and succeeds, when neither chromium nor firefox-esr is
# installed (scripts/install-deps --browsers installs them).
set -euo pipefail
cli=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
chromium=$(command -v chromium || true)
firefox=$(command -v firefox-esr || command -v firefox || true)
if [ -z "$chromium" ] && [ -z "$firefox" ]; then
  echo "skipped: neither chromium nor firefox-esr is installed"
  exit 0
fi

scratch=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
export HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/home/.config" XDG_CACHE_HOME="$scratch/cache"
mkdir -p "$XDG_CONFIG_HOME"
fav="$scratch/Favorites"
mkdir -p "$fav"

# Imports SOURCE (more arguments as the CLI takes them) and checks the
# favorites below FOLDER against the table EXPECTED, then imports again and
# expects every bookmark to be skipped as already there.
check() {
  local what=$1 expected=$2 folder=$3
  shift 3
  "$cli" --favorites "$fav" --json import "$@" --into "$folder" >"$scratch/first.json"
  "$cli" --favorites "$fav" --json import "$@" --into "$folder" >"$scratch/second.json"
  "$cli" --favorites "$fav" --json list >"$scratch/list.json"
  python3 "$here/compare_import.py" "$what" "$expected" "$folder" \
    "$scratch/first.json" "$scratch/second.json" "$scratch/list.json"
}

# Waits until FILE exists and holds TEXT, SECONDS at most.
wait_for() {
  local file=$1 text=$2 seconds=$3
  for _ in $(seq $((seconds * 2))); do
    if [ -f "$file" ] && grep -qF -- "$text" "$file"; then return 0; fi
    sleep 0.5
  done
  echo "timed out waiting for $text in $file" >&2
  return 1
}

if [ -n "$chromium" ]; then
  "$chromium" --version 2>/dev/null
  # Chromium keeps its profile in the default place, where brimmark-cli looks
  # when no profile is named. An unpacked extension makes the bookmarks
  # through the browser's own bookmark service, which writes the file.
  "$chromium" --headless --no-sandbox --no-first-run --disable-gpu \
    --user-data-dir="$XDG_CONFIG_HOME/chromium" \
    --load-extension="$here/chromium-extension" about:blank \
    >"$scratch/chromium.log" 2>&1 &
  pids+=($!)
  if ! wait_for "$XDG_CONFIG_HOME/chromium/Default/Bookmarks" "https://example.org/last" 60; then
    tail -20 "$scratch/chromium.log" >&2
    exit 1
  fi
  check Chromium "$here/chromium.expected" '\Chromium\' chromium
  kill "${pids[-1]}"
fi

if [ -n "$firefox" ]; then
  "$firefox" --version 2>/dev/null
  # A profile registered in profiles.ini, so that brimmark-cli finds it as
  # the default; Firefox fills it from a bookmark file when it first starts
  # and writes its own export of them to that file when it quits.
  "$firefox" --headless -CreateProfile brimmark >/dev/null 2>&1
  profile=$(find "$HOME" -type d -path '*mozilla/firefox*/*.brimmark' | head -1)
  [ -n "$profile" ] || { echo "Firefox made no profile" >&2; exit 1; }
  cp "$here/firefox-seed.html" "$scratch/firefox-bookmarks.html"
  port=$((20000 + RANDOM % 20000))
  cat >"$profile/user.js" <<EOF
user_pref("browser.places.importBookmarksHTML", true);
user_pref("browser.bookmarks.file", "$scratch/firefox-bookmarks.html");
user_pref("browser.bookmarks.autoExportHTML", true);
user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("marionette.port", $port);
EOF
  "$firefox" --headless --no-remote --marionette --profile "$profile" about:blank \
    >"$scratch/firefox.log" 2>&1 &
  pids+=($!)
  # Firefox holds its database locked and keeps the new rows in the log: the
  # import reads a copy.
  for _ in $(seq 120); do
    if "$cli" --favorites "$fav" --json import firefox --dry-run 2>/dev/null |
      grep -q 'https://example.org/last'; then break; fi
    sleep 0.5
  done
  ls "$profile" | grep -q 'places.sqlite-wal' || { echo "Firefox keeps no log" >&2; exit 1; }
  check Firefox "$here/firefox.expected" '\Firefox\' firefox
  python3 "$here/marionette_quit.py" "$port"
  wait "${pids[-1]}" || true
  grep -q 'automatically generated' "$scratch/firefox-bookmarks.html" || {
    echo "Firefox wrote no export" >&2
    exit 1
  }
  check "Firefox export" "$here/firefox-export.expected" '\Export\' \
    netscape "$scratch/firefox-bookmarks.html"
fi
echo "all real-browser imports matched"
