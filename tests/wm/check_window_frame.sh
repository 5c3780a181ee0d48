#!/usr/bin/env bash
# Runs the real window under a real window manager (openbox in Xvfb) on a copy
# of the sample tree, starting once in each window mode at scale factors 1 and
# 2, and checks from outside, with xdotool, xprop and xwininfo:
#   - the frame (title and border included) has the mode's outer size,
#     15 twips to a pixel, times the scale factor, within 2 pixels;
#   - the frame stands at the stored position;
#   - the lowest control the mode shows lies inside the window;
#   - a click on the mode button gives the next mode its size as well.
# Saves a screenshot of each mode into OUTPUT_DIR.
#   check_window_frame.sh BRIMMARK SAMPLE_TREE OUTPUT_DIR
# Exits 77 (skipped) when the X tools are missing.
set -Eeuo pipefail
# A command that fails says so: otherwise set -e would end the check silently.
trap 'echo "FAIL: line $LINENO: \"$BASH_COMMAND\" exited $?"' ERR

program=$1 sample=$2 out=$3
for tool in Xvfb openbox xdotool xprop xwininfo import; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is missing (scripts/install-deps --test)"
    exit 77
  fi
done
mkdir -p "$out"

scratch=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT

# Nothing of the user's: home, settings and Favorites are the test's own.
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/config XDG_DATA_HOME=$scratch/data
export XDG_RUNTIME_DIR=$scratch/runtime XDG_CACHE_HOME=$scratch/cache
mkdir -p "$HOME" "$XDG_CONFIG_HOME/brimmark" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
cp -r "$sample" "$scratch/Favorites"
export BRIMMARK_FAVORITES=$scratch/Favorites
unset WAYLAND_DISPLAY SESSION_MANAGER
export QT_QPA_PLATFORM=xcb
# Each control gets an X window of its own, so that xwininfo finds it.
export QT_USE_NATIVE_WINDOWS=1

# A display of its own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1400x1100x24 -nolisten tcp 3>"$scratch/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$scratch/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -n1 "$scratch/display")
openbox --sm-disable >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# The layouts' outer sizes and the lowest control each shows, in twips:
# mode width height control-left control-top control-width control-height name.
layout() {
  case $1 in
    0) echo "4140 1245 600 120 2415 300 Combo1" ;;
    1) echo "6270 4335 5280 3000 700 560 Command3" ;;
    2) echo "6270 6615 840 5520 5175 270 Text6" ;;
  esac
}
# Twips to the display's pixels at scale factor $2.
px() { echo $(($1 / 15 * $2)); }
within2() { [ $(($1 - $2)) -le 2 ] && [ $(($2 - $1)) -le 2 ]; }

# Sets client_x/_y/_w/_h and the frame's extents of window $1.
measure() {
  local info extents
  # The window may be between unmapped and framed, or gone: the caller retries.
  info=$(xwininfo -id "$1" 2>/dev/null) || return 1
  client_x=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$info")
  client_y=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$info")
  client_w=$(awk '/^ *Width:/ {print $NF}' <<<"$info")
  client_h=$(awk '/^ *Height:/ {print $NF}' <<<"$info")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= //p' | tr -d ' ') ||
    extents=
  IFS=, read -r ext_l ext_r ext_t ext_b <<<"${extents:-0,0,0,0}"
  frame_x=$((client_x - ext_l)) frame_y=$((client_y - ext_t))
  frame_w=$((client_w + ext_l + ext_r)) frame_h=$((client_h + ext_t + ext_b))
}

# Waits up to 20 s (a loaded machine) for window $1's frame to take mode $2's size at scale $3;
# the window manager frames the window a moment after it is shown.
await_size() {
  local want_w want_h
  read -r want_w want_h _ <<<"$(layout "$2")"
  want_w=$(px "$want_w" "$3") want_h=$(px "$want_h" "$3")
  frame_w=? frame_h=? ext_l=? ext_r=? ext_t=? ext_b=?
  for _ in $(seq 200); do
    if measure "$1" && [ "$ext_t" -gt 0 ] && within2 "$frame_w" "$want_w" &&
      within2 "$frame_h" "$want_h"; then
      sleep 0.3 # and it stays so
      measure "$1" && within2 "$frame_w" "$want_w" && within2 "$frame_h" "$want_h" && return 0
    fi
    sleep 0.1
  done
  fail "mode $2, scale $3: frame ${frame_w}x$frame_h (extents $ext_l,$ext_r,$ext_t,$ext_b), want ${want_w}x$want_h"
  return 1
}

# Prints "absolute-x absolute-y" of the descendant of window $1 that has the
# geometry $2 (WxH+X+Y, relative to its parent), the lowest of several.
find_control() {
  xwininfo -tree -id "$1" 2>/dev/null |
    awk -v g="$2" 'index($0, " " g " ") { split($NF, a, "+"); print a[2], a[3] }' |
    sort -k2 -n | tail -n1
}

# Checks that mode $2's lowest control lies inside window $1 at scale $3.
check_lowest_control() {
  local l t w h name at ax ay
  read -r _ _ l t w h name <<<"$(layout "$2")"
  l=$(px "$l" "$3") t=$(px "$t" "$3") w=$(px "$w" "$3") h=$(px "$h" "$3")
  at=$(find_control "$1" "${w}x$h+$l+$t")
  if [ -z "$at" ]; then
    fail "mode $2, scale $3: no control $name of ${w}x$h+$l+$t"
    return
  fi
  read -r ax ay <<<"$at"
  if [ "$ax" -lt "$client_x" ] || [ "$ay" -lt "$client_y" ] ||
    [ $((ax + w)) -gt $((client_x + client_w)) ] || [ $((ay + h)) -gt $((client_y + client_h)) ]; then
    fail "mode $2, scale $3: $name at ${w}x$h+$ax+$ay is not inside the window" \
      "${client_w}x$client_h+$client_x+$client_y"
  fi
}

# Ends program $1 within 5 s, by force if need be; a failed check shows its log $2.
stop_app() {
  kill "$1" 2>/dev/null || true
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$1" 2>/dev/null; then
    fail "the window did not end within 5 s of SIGTERM"
    kill -9 "$1" 2>/dev/null || true
  fi
  wait "$1" 2>/dev/null || true
  if [ "$failures" -gt 0 ] && [ -s "$2" ]; then
    echo "--- $2:"
    tail -n 20 "$2"
  fi
}

for scale in 1 2; do
  for mode in 0 1 2; do
    # The stored mode is the mode + 1; the position is the frame's, in twips.
    pos_x=1500 pos_y=$((600 + 300 * mode))
    printf '[mmode]\r\nvalue= %d\r\n[Wposition]\r\nx= %d\r\ny= %d\r\n' \
      $((mode + 1)) $pos_x $pos_y >"$XDG_CONFIG_HOME/brimmark/Brimmark.ini"
    QT_SCALE_FACTOR=$scale "$program" >"$out/brimmark-$scale-$mode.log" 2>&1 &
    app=$!
    pids+=("$app")
    window=
    for _ in $(seq 300); do
      window=$(xdotool search --all --pid "$app" --name '^Brimmark - ' 2>/dev/null | head -n1) || true
      [ -n "$window" ] && break
      sleep 0.1
    done
    if [ -z "$window" ]; then
      fail "scale $scale: no window in mode $mode"
      stop_app "$app" "$out/brimmark-$scale-$mode.log"
      continue
    fi
    if await_size "$window" "$mode" "$scale"; then
      echo "mode $mode, scale $scale: frame ${frame_w}x$frame_h at $frame_x,$frame_y" \
        "(client ${client_w}x$client_h, extents $ext_l,$ext_r,$ext_t,$ext_b)"
      want_x=$(px $pos_x "$scale") want_y=$(px $pos_y "$scale")
      within2 "$frame_x" "$want_x" && within2 "$frame_y" "$want_y" ||
        fail "mode $mode, scale $scale: frame at $frame_x,$frame_y, stored $want_x,$want_y"
      check_lowest_control "$window" "$mode" "$scale"
      names=(compact list full)
      shot=$out/window-${names[mode]}.png
      [ "$scale" = 1 ] || shot=$out/window-${names[mode]}-scale$scale.png
      import -window root -crop "${frame_w}x$frame_h+$frame_x+$frame_y" +repage "$shot"

      # The mode button (Command10) steps to the next mode, keeping the corner.
      b=$(px 300 "$scale")
      at=$(find_control "$window" "${b}x$b+$(px 3600 "$scale")+$(px 120 "$scale")")
      if [ -z "$at" ]; then
        fail "mode $mode, scale $scale: no mode button"
      else
        read -r bx by <<<"$at"
        xdotool mousemove $((bx + b / 2)) $((by + b / 2)) click 1
        next=$(((mode + 1) % 3))
        if await_size "$window" "$next" "$scale"; then
          check_lowest_control "$window" "$next" "$scale"
          within2 "$frame_x" "$want_x" && within2 "$frame_y" "$want_y" ||
            fail "mode $next, scale $scale: the frame moved to $frame_x,$frame_y"
        fi
      fi
    fi
    stop_app "$app" "$out/brimmark-$scale-$mode.log"
  done
done

if [ "$failures" -gt 0 ]; then
  echo "$failures checks failed; screenshots and logs in $out"
  exit 1
fi
echo "every mode has its outer size; screenshots in $out"
