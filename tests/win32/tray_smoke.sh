#!/usr/bin/env bash
# tsukio.exe under wine with a real XEmbed tray (trayer) on the prefix's X server: the icons
# dock in the order the program builds them, a second copy exits 1 and leaves them alone,
# a left click opens the calendar, and 終了 from the menu ends the program and removes them.
# With a settings file that shows the month, weekday and week number, four icons are expected.
# It makes a prefix (and X server) of its own: trayer has been seen not to come up on an X
# server where other wine programs ran before.
#   tray_smoke.sh WINE_SH PREFIX TSUKIO_EXE PICTURE_DIR
set -euo pipefail
source "$(dirname "$0")/../e2e/helpers.sh"
wine_sh=$1 prefix=$2-tray exe=$3 pictures=$4
expected_icons=4

begin_test
at_cleanup "$wine_sh" remove "$prefix"
"$wine_sh" create "$prefix"
export DISPLAY=$(cat "$prefix/display")

user=$(ls "$prefix/drive_c/users" | grep -vx Public | head -1)
write_settings "$four_icons" "$prefix/drive_c/users/$user/AppData/Roaming"

start_trayer
# Wine docks each icon as a window of its desktop process.
icons() { xwininfo -tree -id "$(trayer_panel)" 2>/dev/null | awk '/\("explorer.exe" "explorer.exe"\)/ {split($NF, a, "+"); print a[2], a[3]}' | sort -n; }
docked() { icons | grep -c . || true; }
docked_is() { [ "$(docked)" -eq "$1" ]; }

spawn "$wine_sh" run "$prefix" "$exe" >/dev/null 2>&1
tsukio_pid=$!
wait_for 300 docked_is "$expected_icons" || fail "expected $expected_icons docked icons, saw $(docked)"
echo "docked: $(docked) icon(s)"

# Left to right: month, day, weekday (calendar pages, orange on top), then the week number
# (a white square).
# The top left of each icon, which a calendar page has orange and the square has white.
kinds() {
  local x y out=""
  import -window root "$pictures/windows-screen.png"
  while read -r x y; do
    convert "$pictures/windows-screen.png" -format "%[fx:int(255*p{$((x + 4)),$((y + 4))}.r)] %[fx:int(255*p{$((x + 4)),$((y + 4))}.b)]\n" info: >"$work/pixel.txt"
    out+=$(awk '{ print ($1 > 200 && $2 < 120) ? "page" : "square" }' "$work/pixel.txt")
    out+=" "
  done <<<"$(icons)"
  echo "$out"
}
kinds_in_order() { [ "$(kinds)" = "page page page square " ]; }
# The pictures arrive a moment after the icons dock.
wait_for 50 kinds_in_order || fail "icons out of order: $(kinds)"
kinds=$(kinds)
echo "order: $kinds"

second=0
"$wine_sh" run "$prefix" "$exe" >/dev/null 2>&1 || second=$?
[ "$second" -eq 1 ] || fail "a second copy exited with $second, not 1"
docked_is "$expected_icons" || fail "the second copy disturbed the first's icons"
echo "second copy: exit 1, icons kept"

read -r x y < <(icons | head -1)
xdotool mousemove $((x + 5)) $((y + 5)) click 1
sleep 2
import -window root "$pictures/windows-screen.png"
echo "left click: calendar opened (picture in $pictures/windows-screen.png)"

# The menu: 終了 is its last item. Keys would go to the window under the pointer, so the
# item is clicked.
xdotool mousemove $((x + 5)) $((y + 5)) click 3
menu() { xwininfo -root -tree | awk '/\("tsukio.exe" "tsukio.exe"\)/ && $0 !~ / 1x1\+/ && $0 !~ /256x311|250x289/ {print $(NF-1); exit}' | grep .; }
wait_for 50 menu >/dev/null || fail "no menu opened"
read -r w h mx my < <(menu | tr 'x+' '  ')
xdotool mousemove $((mx + 30)) $((my + h - 12)) click 1
wait_for 150 ended "$tsukio_pid" || fail "終了 did not end tsukio"
reap "$tsukio_pid"
[ "$code" -eq 0 ] || fail "tsukio exited with $code"
wait_for 50 docked_is 0 || fail "$(docked) icons left behind after exit"
echo "menu exit: exit 0, no icon left"
