#!/usr/bin/env bash
# tsukio in KDE Plasma's system tray (plasmashell with the software Qt Quick renderer, kded's
# StatusNotifierWatcher), on a private X server and session bus: its icons come in, read
# month, day, weekday, week left to right, and come back after plasmashell restarts.
# Opt-in (`make test-plasma`): Plasma is large and slow to start.
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
source "$(dirname "$0")/row_order.sh"
tsukio=$1
tsukio_cal=$2

begin_test
private_home
write_settings "$four_icons"
start_x 1024x768x24
export QT_QUICK_BACKEND=software LIBGL_ALWAYS_SOFTWARE=1
export KDE_FULL_SESSION=true XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5
start_bus

spawn kded5 >"$work/kded.log" 2>&1
spawn plasmashell --no-respawn >"$work/plasma.log" 2>&1
shell_pid=$!
wait_for 600 watcher_runs || fail "no StatusNotifierWatcher came up"
sleep 5  # the panel and its tray load after the watcher

spawn "$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err"
wait_for 300 registered_is 4 || fail "plasma got $(registered) of 4 icons"
echo "start: 4 icons registered"

"$tsukio_cal" icons --out "$work/ref" >/dev/null
order() {
  import -window root -crop 1024x60+0+708 +repage "$work/strip.png"
  row_order "$work/strip.png" "$work/ref"
}
wait_for 20 row_is_right || {
  [ -z "${TSUKIO_E2E_SHOTS:-}" ] || import -window root "$TSUKIO_E2E_SHOTS/plasma-failed.png"
  fail "row on screen: $row"
}
echo "order: $row"
[ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/plasma.png"

stop "$shell_pid"
spawn plasmashell --no-respawn >>"$work/plasma.log" 2>&1
sleep 10
wait_for 300 registered_is 4 || fail "after a plasmashell restart $(registered) icons are registered"
wait_for 20 row_is_right || fail "row after the restart: $row"
echo "plasmashell restart: row back in order"
