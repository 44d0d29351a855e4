#!/usr/bin/env bash
# tsukio in a real X server with a real XEmbed tray (trayer): the icons dock, a second copy
# exits 1 and leaves them alone, a restarted tray gets them back, and the menu's exit
# removes them all. With a settings file that shows the month, weekday and week number,
# four icons are expected.
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
tsukio=$1
expected_icons=4

begin_test
private_home
write_settings "$four_icons"
unset DBUS_SESSION_BUS_ADDRESS  # no StatusNotifier host: XEmbed it is
start_x

docked() {
  local p
  p=$(trayer_panel) || { echo 0; return; }
  xwininfo -tree -id "$p" 2>/dev/null | grep -c '("tsukio" "Tsukio")' || true
}
docked_is() { [ "$(docked)" -eq "$1" ]; }

start_trayer
spawn "$tsukio" >"$work/tsukio.log" 2>&1
tsukio_pid=$!
wait_for 100 docked_is "$expected_icons" || fail "expected $expected_icons docked icons, saw $(docked)"
echo "docked: $(docked) icon(s)"

# Left to right they must read month, day, weekday (calendar pages, orange on top) and then
# the week number (a white square): trayer puts each new icon first, so the program has to
# add them last to first there.
sleep 0.5
/usr/bin/import -window root "$work/screen.png"
kinds=""
while read -r x y; do
  pixel=$(/usr/bin/convert "$work/screen.png" -format "%[pixel:p{$((x + 8)),$((y + 4))}]" info:)
  read -r r g b < <(echo "$pixel" | tr -c '0-9\n' ' ')
  if [ "$r" -gt 200 ] && [ "$b" -lt 120 ]; then kinds+="page "; else kinds+="square "; fi
done < <(xwininfo -tree -id "$(trayer_panel)" | awk '/\("tsukio" "Tsukio"\)/ {split($NF, a, "+"); print a[2], a[3]}' | sort -n)
[ "$kinds" = "page page page square " ] || fail "icons out of order: $kinds"
echo "order: $kinds"

second=0
"$tsukio" >/dev/null 2>&1 || second=$?
[ "$second" -eq 1 ] || fail "a second copy exited with $second, not 1"
docked_is "$expected_icons" || fail "the second copy disturbed the first's icons"
echo "second copy: exit 1, icons kept"

stop "$tray_pid"
start_trayer
wait_for 1300 docked_is "$expected_icons" || fail "after a tray restart $(docked) icons came back"
echo "tray restart: $(docked) icon(s) back"

# Right-click the first icon and choose 終了(&X) by its access key. Right after a tray
# restart the row may still be put back in order (icons taken away and docked again), and
# a click that lands on an icon being replaced opens nothing: the row must be still first,
# and a click that opened no menu is tried again.
still_docked() { local before; before=$(docked_windows); sleep 1; [ "$(docked_windows)" = "$before" ]; }
docked_windows() { xwininfo -tree -id "$(trayer_panel)" | awk '/\("tsukio" "Tsukio"\)/ {print $1}' | sort; }
wait_for 50 still_docked || fail "the row did not settle after the tray restart"
for attempt in 1 2 3; do
  p=$(trayer_panel)
  read -r x y < <(xwininfo -tree -id "$p" | awk '/\("tsukio" "Tsukio"\)/ {split($NF, a, "+"); print a[2] + 5, a[3] + 5; exit}')
  xdotool mousemove "$x" "$y" click 3
  sleep 0.5
  xdotool key x
  wait_for 50 ended "$tsukio_pid" && break
  xdotool key Escape
done
ended "$tsukio_pid" || fail "the menu's exit did not end tsukio"
reap "$tsukio_pid"
[ "$code" -eq 0 ] || fail "tsukio exited with $code"
docked_is 0 || fail "$(docked) icons left behind after exit"
echo "menu exit: exit 0, no icon left"
