#!/usr/bin/env bash
# Tries the Windows release under Wine: the installer, silent, over an older
# version (whose files it replaces, keeping the settings), once for the user
# alone and once for every user, side by side; each uninstaller then removes
# its own installation and leaves the other's; then the portable zip. In each
# folder brimmark-cli.exe must run.
#   tests/windows-package.sh BUILD_DIR
# Needs a Wine prefix of its own in $WINEPREFIX (scripts/package-windows
# --test makes one).
set -uo pipefail
build=$(cd "$1" && pwd)
wine=$(command -v wine || command -v wine64)
installer=$(ls "$build"/Brimmark-*-win64.exe)
zip=${installer%.exe}.zip
version=${installer##*/Brimmark-}
version=${version%-win64.exe}

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# One value of the registry; nothing when the key or value is missing.
reg_value() {
  "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"
}
reg_has_key() { "$wine" reg query "$1" >/dev/null 2>&1; }
reg_has_value() { "$wine" reg query "$1" /v "$2" >/dev/null 2>&1; }
windows_env() { "$wine" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
unix_path() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }

# What the zip holds, Brimmark.ini aside, is what an installation holds.
unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
portable="$unpacked/Brimmark-$version-win64"
(cd "$unpacked" && cmake -E tar xf "$zip") && [ -d "$portable" ] || {
  echo "FAIL: $zip does not unpack into ${portable##*/}" >&2
  exit 1
}
(cd "$portable" && find . -type f ! -name Brimmark.ini | sort) >"$unpacked/files"
has_window=false
grep -qx './brimmark.exe' "$unpacked/files" && has_window=true

# The search options say whether case counts: the user's settings keep it,
# unlike the defaults, and a portable copy's fold it; so a search for ALPHA
# finds alpha.url only when the right file was read.
favorites="$unpacked/favorites"
mkdir -p "$favorites"
printf '[InternetShortcut]\r\nURL=http://a.example/\r\n' >"$favorites/alpha.url"
search_options() {
  printf '[SerchCond]\r\ncheck1= %s\r\ncheck2= 11\r\ncheck3= 11\r\ncheck4= 11\r\ncheck5= 11\r\n' "$1"
}
appdata=$(unix_path "$(windows_env APPDATA)")
user_settings="$appdata/Brimmark/Brimmark.ini"
mkdir -p "${user_settings%/*}"
search_options 10 >"$user_settings"
windows_favorites=$("$wine" winepath -w "$favorites" | tr -d '\r')
# How many favorites the brimmark-cli.exe in FOLDER finds for ALPHA.
found() {
  "$wine" "$1/brimmark-cli.exe" --favorites "$windows_favorites" --json search ALPHA \
    </dev/null 2>/dev/null | grep -o '"name"' | wc -l
}
# A bookmark file and a Firefox store, for the release's own imports: its
# programs carry libxml2 and SQLite.
printf '<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n<DT><A HREF="http://n.example/">Netscape</A>\n</DL>\n' \
  >"$unpacked/bookmarks.html"
python3 - "$unpacked/places.sqlite" "$(dirname "$0")" <<'PY'
import sys
sys.dont_write_bytecode = True
sys.path.insert(0, sys.argv[2])
import firefox_places
firefox_places.make(sys.argv[1], """
INSERT INTO moz_places (id, url, title) VALUES (1, 'http://f.example/', 'Firefox');
INSERT INTO moz_bookmarks (id, type, fk, parent, position, title, guid) VALUES
  (10, 1, 1, 2, 0, 'Firefox', 'aaaaaaaaaaaa');
""")
PY
# brimmark-cli.exe in FOLDER imports a store of KIND; the favorite NAME.url
# must be made.
check_import() {
  local where=$1 dir=$2 kind=$3 store=$4 name=$5 into
  into=$(mktemp -d "$unpacked/import.XXXXXX")
  "$wine" "$dir/brimmark-cli.exe" --favorites "$("$wine" winepath -w "$into" | tr -d '\r')" \
    import "$kind" "$("$wine" winepath -w "$store" | tr -d '\r')" </dev/null >/dev/null 2>&1 ||
    fail "$where: brimmark-cli.exe import $kind failed"
  [ -n "$(find "$into" -name "$name.url")" ] ||
    fail "$where: brimmark-cli.exe import $kind made no $name.url"
}
# brimmark-cli.exe in FOLDER runs: its version, the favorites it lists, and
# its imports.
check_cli() {
  local where=$1 dir=$2
  if [ ! -f "$dir/brimmark-cli.exe" ]; then
    fail "$where: no brimmark-cli.exe"
    return
  fi
  "$wine" "$dir/brimmark-cli.exe" --version </dev/null 2>&1 | tr -d '\r' | grep -qF "$version" ||
    fail "$where: brimmark-cli.exe --version does not say $version"
  "$wine" "$dir/brimmark-cli.exe" --favorites "$windows_favorites" list </dev/null 2>/dev/null |
    grep -q '^alpha\.url ' || fail "$where: brimmark-cli.exe list does not show alpha.url"
  check_import "$where" "$dir" netscape "$unpacked/bookmarks.html" Netscape
  check_import "$where" "$dir" firefox "$unpacked/places.sqlite" Firefox
}

uninstall_key='Software\Microsoft\Windows\CurrentVersion\Uninstall\Brimmark'
progid='Brimmark.InternetShortcut'
declare -A root menu folder
root[CurrentUser]=HKCU
root[AllUsers]=HKLM
menu[CurrentUser]="$appdata/Microsoft/Windows/Start Menu/Programs"
menu[AllUsers]="$(unix_path "$(windows_env ProgramData)")/Microsoft/Windows/Start Menu/Programs"
folder[CurrentUser]="$(windows_env LOCALAPPDATA)\\Programs\\Brimmark"
folder[AllUsers]="$(windows_env ProgramW6432)\\Brimmark"

install() {
  local mode=$1
  echo "== installer /S /$mode" >&2
  "$wine" "$installer" /S "/$mode" </dev/null || fail "$mode: the installer failed"
  local dir
  dir=$(reg_value "${root[$mode]}\\$uninstall_key" InstallLocation)
  [ "$dir" = "${folder[$mode]}" ] ||
    fail "$mode: the uninstall entry in ${root[$mode]} names '$dir', not '${folder[$mode]}'"
}

# Everything of one installation is in its place.
check_installed() {
  local mode=$1
  local key="${root[$mode]}\\$uninstall_key" dir=${folder[$mode]} unix
  [ "$(reg_value "$key" DisplayName)" = Brimmark ] || fail "$mode: DisplayName"
  [ "$(reg_value "$key" DisplayVersion)" = "$version" ] || fail "$mode: DisplayVersion"
  [ "$(reg_value "$key" UninstallString)" = "\"$dir\\Uninstall.exe\" /$mode" ] ||
    fail "$mode: UninstallString"

  unix=$(unix_path "$dir")
  if [ -z "$unix" ] || [ ! -d "$unix" ]; then
    fail "$mode: no install folder $dir"
    return
  fi
  (cd "$unix" && find . -type f | sort) >"$unpacked/installed"
  { cat "$unpacked/files" && echo ./Uninstall.exe; } | sort | diff - "$unpacked/installed" >&2 ||
    fail "$mode: the installed files are not the zip's"
  while read -r f; do
    cmp -s "$portable/$f" "$unix/$f" || fail "$mode: $f differs from the zip's"
  done <"$unpacked/files"

  [ -f "${menu[$mode]}/Brimmark ヘルプ.lnk" ] || fail "$mode: no help in the Start menu"
  if $has_window; then
    [ -f "${menu[$mode]}/Brimmark.lnk" ] || fail "$mode: no Brimmark in the Start menu"
    local classes="${root[$mode]}\\Software\\Classes"
    reg_has_value "$classes\\.url\\OpenWithProgids" "$progid" ||
      fail "$mode: .url files do not offer Brimmark"
    reg_has_value "$classes\\Applications\\brimmark.exe\\SupportedTypes" .url ||
      fail "$mode: brimmark.exe does not name .url among its types"
    "$wine" reg query "$classes\\$progid\\shell\\open\\command" /ve 2>/dev/null |
      grep -qF "\"$dir\\brimmark.exe\" \"%1\"" || fail "$mode: the open command"
  fi
  check_cli "$mode" "$unix"
  [ "$(found "$unix")" = 0 ] || fail "$mode: brimmark-cli.exe does not take the user's settings"
}

# The installation's own uninstaller, silent and without naming the mode.
uninstall() {
  local mode=$1
  local key="${root[$mode]}\\$uninstall_key" unix
  unix=$(unix_path "${folder[$mode]}")
  echo "== uninstaller /S of $mode" >&2
  "$wine" "$unix/Uninstall.exe" /S </dev/null || fail "$mode: the uninstaller failed"
  # It runs on from a copy of itself, so that it can remove its own folder,
  # and removes its uninstall entry last.
  local waited=0
  while reg_has_key "$key" && [ $waited -lt 60 ]; do
    sleep 1
    waited=$((waited + 1))
  done
  reg_has_key "$key" && fail "$mode: the uninstall entry is left"
  [ -e "$unix" ] && fail "$mode: the install folder is left: $(ls -A "$unix" | tr '\n' ' ')"
  [ -e "${menu[$mode]}/Brimmark ヘルプ.lnk" ] && fail "$mode: the help is left in the Start menu"
  [ -e "${menu[$mode]}/Brimmark.lnk" ] && fail "$mode: Brimmark is left in the Start menu"
  local classes="${root[$mode]}\\Software\\Classes"
  reg_has_value "$classes\\.url\\OpenWithProgids" "$progid" &&
    fail "$mode: .url files still offer Brimmark"
  reg_has_key "$classes\\$progid" && fail "$mode: $progid is left"
  reg_has_key "$classes\\Applications\\brimmark.exe" && fail "$mode: Applications\\brimmark.exe is left"
}

# An older version, made from this one's installer script: it ships a file
# this one no longer does, and an earlier version string.
older=$unpacked/older
nsis=$build/_CPack_Packages/win64/NSIS
mkdir -p "$older"
cp -r "$nsis/Brimmark-$version-win64" "$older/files"
echo "shipped only by the older version" >"$older/files/Retired.txt"
sed -e "s|^!define INST_DIR .*|!define INST_DIR \"$older/files\"|" \
  -e "s|^OutFile .*|OutFile \"$older/Brimmark-older.exe\"|" \
  -e 's|^SetCompressor .*|SetCompressor zlib|' \
  -e 's|"DisplayVersion" "[^"]*"|"DisplayVersion" "0.9.0"|' \
  -e 's|^\( *\)Delete "\$INSTDIR\\Uninstall.exe"|\1Delete "$INSTDIR\\Retired.txt"\n&|' \
  "$nsis/project.nsi" >"$older/older.nsi"
grep -qF 'Delete "$INSTDIR\Retired.txt"' "$older/older.nsi" || fail "the older script removes no Retired.txt"
makensis -V1 "$older/older.nsi" >&2 || fail "the older installer could not be made"

echo "== older installer /S /CurrentUser, then this one over it" >&2
"$wine" "$older/Brimmark-older.exe" /S /CurrentUser </dev/null || fail "the older installer failed"
current=$(unix_path "${folder[CurrentUser]}")
[ -f "$current/Retired.txt" ] || fail "the older installer left out Retired.txt"
# Settings beside the installed program (a copy made portable by hand) and
# in %APPDATA% belong to the user, not to either version.
printf '[mmode]\r\nvalue= 2\r\n' >"$current/Brimmark.ini"
cp "$current/Brimmark.ini" "$unpacked/beside"
cp "$user_settings" "$unpacked/user-settings"
install CurrentUser
[ -e "$current/Retired.txt" ] && fail "the upgrade left the older version's Retired.txt"
cmp -s "$current/Brimmark.ini" "$unpacked/beside" || fail "the upgrade took the Brimmark.ini beside the program"
cmp -s "$user_settings" "$unpacked/user-settings" || fail "the upgrade changed the user's settings"
rm -f "$current/Brimmark.ini"
check_installed CurrentUser
# Run again without naming the mode, the installer updates that installation
# rather than adding one for every user.
echo "== installer /S again" >&2
"$wine" "$installer" /S </dev/null || fail "the second run of the installer failed"
reg_has_key "HKLM\\$uninstall_key" && fail "the second run installed for every user"
check_installed CurrentUser
install AllUsers
check_installed AllUsers
check_installed CurrentUser
uninstall CurrentUser
check_installed AllUsers
uninstall AllUsers

echo "== portable zip" >&2
check_cli zip "$portable"
if [ -f "$portable/Brimmark.ini" ] && [ ! -s "$portable/Brimmark.ini" ]; then
  search_options 11 >"$portable/Brimmark.ini"
  [ "$(found "$portable")" = 1 ] || fail "brimmark-cli.exe in the zip's folder takes the user's settings"
else
  fail "the zip has no empty Brimmark.ini"
fi
# The read-me is for Windows: a UTF-8 mark, CRLF lines, and the programs'
# names with this version's.
readme=$portable/README.txt
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README.txt has no UTF-8 mark"
grep -qv $'\r$' "$readme" && fail "README.txt has lines without CR"
for word in brimmark-cli.exe Brimmark.ini "Brimmark-$version-win64.exe" アンインストール; do
  grep -qF "$word" "$readme" || fail "README.txt does not mention $word"
done
grep -qF '@VERSION@' "$readme" && fail "README.txt keeps @VERSION@"

if [ $failures -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "Installer and zip under Wine: all checks passed" >&2
