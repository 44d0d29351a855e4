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

work=$(mktemp -d)
pids=()
cleanup() {
  set +e
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT


export HOME=$work XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
export TSUKIO_INSTANCE=e2e-$$  # a copy of its own beside other test runs
export XDG_DATA_DIRS=/usr/share XDG_CACHE_HOME=$work/cache
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Quorv/Tsukio"
printf '[Pageleaf]\r\nMonth=1\r\nWeek=1\r\nNumber=1\r\n' >"$XDG_CONFIG_HOME/Quorv/Tsukio/$(basename "$tsukio").ini"
unset WAYLAND_DISPLAY SESSION_MANAGER
export QT_QPA_PLATFORM=xcb QT_QUICK_BACKEND=software LIBGL_ALWAYS_SOFTWARE=1
export KDE_FULL_SESSION=true XDG_CURRENT_DESKTOP=KDE KDE_SESSION_VERSION=5

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
pids+=($!)
wait_for 100 test -s "$work/bus" || fail "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")

bus_call() { dbus-send --session --print-reply=literal "$@" 2>/dev/null; }
registered() {
  bus_call --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
    string:RegisteredStatusNotifierItems | { grep -o ':[0-9.]*' || true; } | wc -l
}
registered_is() { [ "$(registered)" -eq "$1" ]; }
watcher_runs() { bus_call --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
  string:org.kde.StatusNotifierWatcher | grep -q true; }
now_ms() { date +%s%3N; }

kded5 >"$work/kded.log" 2>&1 &
pids+=($!)
plasmashell --no-respawn >"$work/plasma.log" 2>&1 &
shell_pid=$!
pids+=("$shell_pid")
wait_for 600 watcher_runs || fail "no StatusNotifierWatcher came up"
sleep 5  # the panel and its tray load after the watcher

"$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err" &
tsukio_pid=$!
pids+=("$tsukio_pid")
wait_for 300 registered_is 4 || fail "plasma got $(registered) of 4 icons"
echo "start: 4 icons registered"

"$tsukio_cal" icons --out "$work/ref" >/dev/null
order() {
  import -window root -crop 1024x60+0+708 +repage "$work/strip.png"
  row_order "$work/strip.png" "$work/ref" "$work"
}
row_is_right() { row=$(order); [ "$row" = "month day weekday week " ]; }
wait_for 20 row_is_right || {
  [ -z "${TSUKIO_E2E_SHOTS:-}" ] || import -window root "$TSUKIO_E2E_SHOTS/plasma-failed.png"
  fail "row on screen: $row"
}
echo "order: $row"
[ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/plasma.png"

kill "$shell_pid"
wait "$shell_pid" 2>/dev/null || true
start=$(now_ms)
plasmashell --no-respawn >>"$work/plasma.log" 2>&1 &
shell_pid=$!
pids+=("$shell_pid")
sleep 10
wait_for 300 registered_is 4 || fail "after a plasmashell restart $(registered) icons are registered"
wait_for 20 row_is_right || fail "row after the restart: $row"
echo "plasmashell restart: row back in order"
