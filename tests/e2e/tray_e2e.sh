#!/usr/bin/env bash
# tsukio in a real X server with a real XEmbed tray (trayer): the icons dock, a second copy
# exits 1 and leaves them alone, a restarted tray gets them back, and the menu's exit
# removes them all. With a settings file that shows the month, weekday and week number,
# four icons are expected.
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
tsukio=$1
expected_icons=4

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT


export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config HOME=$work
export TSUKIO_INSTANCE=e2e-$$  # a copy of its own beside other test runs
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Quorv/Tsukio"
printf '[Pageleaf]\r\nMonth=1\r\nWeek=1\r\nNumber=1\r\n' >"$XDG_CONFIG_HOME/Quorv/Tsukio/$(basename "$tsukio").ini"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY  # no StatusNotifier host: XEmbed it is
export QT_QPA_PLATFORM=xcb

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")

start_tray() {
  trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
  tray_pid=$!
  pids+=("$tray_pid")
  wait_for 100 panel >/dev/null || fail "trayer did not come up"
}
panel() { xwininfo -root -tree 2>/dev/null | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}' | grep .; }
docked() {
  local p
  p=$(panel) || { echo 0; return; }
  xwininfo -tree -id "$p" 2>/dev/null | grep -c '("tsukio" "Tsukio")' || true
}
docked_is() { [ "$(docked)" -eq "$1" ]; }

start_tray
"$tsukio" >"$work/tsukio.log" 2>&1 &
tsukio_pid=$!
pids+=("$tsukio_pid")
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
done < <(xwininfo -tree -id "$(panel)" | awk '/\("tsukio" "Tsukio"\)/ {split($NF, a, "+"); print a[2], a[3]}' | sort -n)
[ "$kinds" = "page page page square " ] || fail "icons out of order: $kinds"
echo "order: $kinds"

set +e
"$tsukio" >/dev/null 2>&1
second=$?
set -e
[ "$second" -eq 1 ] || fail "a second copy exited with $second, not 1"
docked_is "$expected_icons" || fail "the second copy disturbed the first's icons"
echo "second copy: exit 1, icons kept"

kill "$tray_pid"
wait "$tray_pid" 2>/dev/null || true
start_tray
wait_for 1300 docked_is "$expected_icons" || fail "after a tray restart $(docked) icons came back"
echo "tray restart: $(docked) icon(s) back"

# Right-click the first icon and choose 終了(&X) by its access key. Right after a tray
# restart the row may still be put back in order (icons taken away and docked again), and
# a click that lands on an icon being replaced opens nothing: the row must be still first,
# and a click that opened no menu is tried again.
still_docked() { local before; before=$(docked_windows); sleep 1; [ "$(docked_windows)" = "$before" ]; }
docked_windows() { xwininfo -tree -id "$(panel)" | awk '/\("tsukio" "Tsukio"\)/ {print $1}' | sort; }
wait_for 50 still_docked || fail "the row did not settle after the tray restart"
for attempt in 1 2 3; do
  p=$(panel)
  read -r x y < <(xwininfo -tree -id "$p" | awk '/\("tsukio" "Tsukio"\)/ {split($NF, a, "+"); print a[2] + 5, a[3] + 5; exit}')
  xdotool mousemove "$x" "$y" click 3
  sleep 0.5
  xdotool key x
  wait_for 50 sh -c "! kill -0 $tsukio_pid 2>/dev/null" && break
  xdotool key Escape
done
kill -0 "$tsukio_pid" 2>/dev/null && fail "the menu's exit did not end tsukio"
set +e
wait "$tsukio_pid"
code=$?
set -e
[ "$code" -eq 0 ] || fail "tsukio exited with $code"
docked_is 0 || fail "$(docked) icons left behind after exit"
echo "menu exit: exit 0, no icon left"
