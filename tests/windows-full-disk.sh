#!/usr/bin/env bash
# A save onto a full disk under Wine: a small memory file system, filled up,
# becomes drive F:. brimmark-cli.exe save must fail with a message and leave
# the favorite as it was and no temporary file; once there is room again the
# same save works.
#   tests/windows-full-disk.sh BUILD_DIR
# Needs a Wine prefix of its own in $WINEPREFIX (scripts/test-windows makes
# one), and the right to mount a memory file system (root); without it the
# check says so and is skipped.
set -uo pipefail
build=$(cd "$1" && pwd)
wine=$(command -v wine || command -v wine64)
cli="$build/cli/brimmark-cli.exe"

disk=$(mktemp -d)
if ! mount -t tmpfs -o size=256k tmpfs "$disk" 2>/dev/null; then
  rmdir "$disk"
  echo "SKIPPED: full disk under Wine: no memory file system can be mounted here" >&2
  exit 0
fi
drive="$WINEPREFIX/dosdevices/f:"
trap 'rm -f "$drive" "$errors"; umount "$disk"; rmdir "$disk"' EXIT
ln -sfn "$disk" "$drive"

failures=0
errors=$(mktemp)
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

mkdir "$disk/Favorites"
printf '[InternetShortcut]\r\nURL=http://old.example/\r\n[CommentKey]\r\nWords=old\r\n' \
  >"$disk/Favorites/News.url"
before=$(od -An -tx1 "$disk/Favorites/News.url")
# Every page of the disk taken: writing stops with "no space".
dd if=/dev/zero of="$disk/filler" bs=4k 2>/dev/null
# A comment longer than any room the file system might still find.
comment=$(head -c 16000 /dev/zero | tr '\0' x)
save() {
  "$wine" "$cli" --favorites 'F:\Favorites' save --name News --url http://new.example/ \
    --comment "$comment" --folder '\' </dev/null >/dev/null 2>"$errors"
}

save
rc=$?
message=$(tr -d '\r' <"$errors")
[ $rc = 1 ] || fail "a save onto the full disk ended with status $rc, not 1"
[ -n "$message" ] || fail "a save onto the full disk said nothing"
echo "full disk: $message" >&2
[ "$(od -An -tx1 "$disk/Favorites/News.url")" = "$before" ] ||
  fail "the favorite changed although the save failed"
[ "$(ls -A "$disk/Favorites")" = News.url ] ||
  fail "the failed save left $(ls -A "$disk/Favorites" | tr '\n' ' ')"

rm "$disk/filler"
save || fail "with room again, the save failed: $(tr -d '\r' <"$errors")"
grep -q '^URL=http://new.example/' "$disk/Favorites/News.url" || fail "the later save wrote no new address"
[ "$(ls -A "$disk/Favorites")" = News.url ] || fail "the later save left other files"

if [ $failures -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "Full disk under Wine: all checks passed" >&2
