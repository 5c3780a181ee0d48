#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a user gets:
# the installed programs answer --help and --version without a display and
# list the sample tree, the desktop entry validates, the manual pages render
# without warnings, and the bash completion offers the verbs and options.
#   install_test.sh BUILD_DIR SOURCE_DIR VERSION
set -uo pipefail
build=$1 source=$2 version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
# Nothing the programs do may reach the real home.
export HOME=$work/home XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share
mkdir -p "$HOME"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}
check_out() {  # NAME EXPECTED-SUBSTRING COMMAND...: exit 0 and output holding the text
  local name=$1 want=$2 out
  shift 2
  if ! out=$("$@" 2>&1); then
    fail "$name exited with $?: $out"
  elif [[ $out != *"$want"* ]]; then
    fail "$name printed no '$want': $out"
  fi
}

cmake --install "$build" --prefix "$prefix" >/dev/null || {
  echo "FAIL: cmake --install" >&2
  exit 1
}

for f in bin/brimmark bin/brimmark-cli share/applications/brimmark.desktop \
  share/icons/hicolor/scalable/apps/brimmark.svg share/doc/brimmark/Brimmark.html \
  share/man/man1/brimmark.1.gz share/man/man1/brimmark-cli.1.gz \
  share/bash-completion/completions/brimmark-cli; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
for size in 16 22 24 32 48 64 128 256; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/brimmark.png
  if [ ! -f "$png" ]; then
    fail "not installed: ${size}x$size icon"
  elif [ "$(od -An -tu1 -j16 -N8 "$png" | awk '{print $3*256+$4, $7*256+$8}')" != "$size $size" ]; then
    fail "the ${size}x$size icon has another size"
  fi
done
# Every picture the help shows is installed beside it.
grep -o 'src="[^"]*"' "$source/docs/Brimmark.html" | sed 's/^src="//; s/"$//' | while read -r img; do
  [ -f "$prefix/share/doc/brimmark/$img" ] || echo "missing $img"
done | grep . && fail "pictures of the help are not installed"

# The window answers before it needs a display: no DISPLAY, no platform plugin.
check_out "brimmark --version" "$version" env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/brimmark" --version
check_out "brimmark --help" "Usage: brimmark" env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/brimmark" --help
check_out "brimmark --help offscreen" "Usage: brimmark" env QT_QPA_PLATFORM=offscreen "$prefix/bin/brimmark" --help
check_out "brimmark-cli --help" "list" "$prefix/bin/brimmark-cli" --help
# The CLI's own --version arrives with the conventions work; until then an
# unknown option is accepted here, a wrong version is not.
if out=$("$prefix/bin/brimmark-cli" --version 2>&1); then
  [[ $out == *"$version"* ]] || fail "brimmark-cli --version printed '$out'"
else
  echo "note: brimmark-cli --version is not answered yet" >&2
fi

# The installed CLI lists the sample tree: one row per favorite.
favorites=$work/Favorites
cp -r "$source/examples/Favorites" "$favorites"
expected=$(find "$favorites" -type f -name '*.url' | wc -l)
check_out "brimmark-cli list" "ファイル数: $expected" "$prefix/bin/brimmark-cli" --favorites "$favorites" list

if command -v desktop-file-validate >/dev/null; then
  out=$(desktop-file-validate "$prefix/share/applications/brimmark.desktop" 2>&1) ||
    fail "desktop-file-validate: $out"
else
  fail "desktop-file-validate is missing (desktop-file-utils)"
fi

for page in brimmark brimmark-cli; do
  warnings=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$prefix/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man $page: $warnings"
  MANWIDTH=80 man -l "$prefix/share/man/man1/$page.1.gz" 2>/dev/null | grep -q "^NAME" ||
    fail "man $page did not render"
done

# The completion, driven as bash drives it on a Tab.
if [ -f /usr/share/bash-completion/bash_completion ]; then
  while IFS='|' read -r line want; do
    got=$(bash -c '
      source /usr/share/bash-completion/bash_completion
      source "$1"
      COMP_LINE=$2 COMP_POINT=${#2}
      read -ra COMP_WORDS <<<"$2"
      [[ $2 == *" " ]] && COMP_WORDS+=("")
      COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
      _brimmark_cli brimmark-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}" 2>/dev/null
      printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' _ \
      "$prefix/share/bash-completion/completions/brimmark-cli" "$line")
    [ "$got" = "$want" ] || fail "completion of '$line': '$got', expected '$want'"
  done <<'CASES'
brimmark-cli s|same save search show 
brimmark-cli --json l|list 
brimmark-cli --ver|--version 
brimmark-cli search --a|--and 
brimmark-cli search --fields name,c|name,comment 
brimmark-cli export |csv html netscape 
brimmark-cli export csv --ou|--output 
brimmark-cli prune-empty --d|--dry-run 
brimmark-cli f|fix-names folders 
brimmark-cli d|delete duplicates 
brimmark-cli fix-names --d|--dry-run 
brimmark-cli i|import 
brimmark-cli import ch|chrome chromium 
brimmark-cli import firefox --in|--into 
CASES
else
  fail "bash-completion is missing"
fi

[ "$failures" -eq 0 ] || exit 1
echo "installed and checked in $prefix"
