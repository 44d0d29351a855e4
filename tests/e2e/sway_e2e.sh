#!/usr/bin/env bash
# tsukio in waybar's tray on a headless sway (StatusNotifierItem on Wayland): started before
# the bar it waits, and gets its icons in once the bar comes; they read month, day,
# weekday, week left to right; a restarted bar gets them back in order; the menu's 終了,
# sent as a host sends it, ends it and takes the icons away.
# sway will not run as root: everything here runs as an unprivileged user.
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


user=()
if [ "$(id -u)" -eq 0 ]; then
  user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  chown nobody:nogroup "$work"
fi
as_user() { "${user[@]}" env "$@"; }
# For programs started in the background: the job's process id is then the program's own.
spawn_user() { exec "${user[@]}" env "$@"; }

env_vars=(HOME="$work" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config"
  TSUKIO_INSTANCE="e2e-$$"  # a copy of its own beside other test runs
  XDG_CACHE_HOME="$work/cache" XDG_DATA_DIRS=/usr/share PATH="$PATH"
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman)
as_user "${env_vars[@]}" sh -c "mkdir -m 700 -p '$work/runtime' && mkdir -p '$work/config/Quorv/Tsukio' '$work/config/sway' '$work/config/waybar'"
as_user sh -c "printf '[Pageleaf]\r\nMonth=1\r\nWeek=1\r\nNumber=1\r\n' >'$work/config/Quorv/Tsukio/$(basename "$tsukio").ini'"
as_user sh -c "cat >'$work/config/sway/config'" <<'EOF'
output HEADLESS-1 resolution 800x600 bg #336699 solid_color
EOF
as_user sh -c "cat >'$work/config/waybar/config'" <<'EOF'
{ "layer": "top", "position": "top", "height": 28, "modules-left": ["tray"],
  "tray": { "icon-size": 24, "spacing": 4 } }
EOF
as_user sh -c "cat >'$work/config/waybar/style.css'" <<'EOF'
* { font-family: sans-serif; font-size: 12px; min-height: 0; }
window#waybar { background: #dddddd; }
EOF

spawn_user "${env_vars[@]}" dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
pids+=($!)
wait_for 100 test -s "$work/bus" || fail "dbus-daemon did not start"
bus=$(head -1 "$work/bus")
env_vars+=(DBUS_SESSION_BUS_ADDRESS="$bus")

spawn_user "${env_vars[@]}" sway -c "$work/config/sway/config" >"$work/sway.log" 2>&1 &
pids+=($!)
wait_for 100 sh -c "ls '$work/runtime' | grep -q '^wayland-[0-9]*$'" || fail "sway did not start"
env_vars+=(WAYLAND_DISPLAY="$(ls "$work/runtime" | grep '^wayland-[0-9]*$' | head -1)")

bus_call() { as_user "${env_vars[@]}" dbus-send --session --print-reply=literal "$@" 2>/dev/null; }
registered() {
  bus_call --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
    string:RegisteredStatusNotifierItems | { grep -o ':[0-9.]*' || true; } | wc -l
}
registered_is() { [ "$(registered)" -eq "$1" ]; }
start_bar() {
  spawn_user "${env_vars[@]}" waybar >"$work/waybar.log" 2>&1 &
  bar_pid=$!
  pids+=("$bar_pid")
}
now_ms() { date +%s%3N; }

spawn_user "${env_vars[@]}" QT_QPA_PLATFORM=wayland "$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err" &
tsukio_pid=$!
pids+=("$tsukio_pid")
wait_for 100 grep -qs "waiting" "$work/tsukio.err" || fail "no word of waiting for a tray: $(cat "$work/tsukio.err")"
kill -0 "$tsukio_pid" || fail "tsukio ended without a tray"

start=$(now_ms)
start_bar
wait_for 300 registered_is 4 || fail "the late bar got $(registered) of 4 icons"
echo "late bar: 4 icons registered $(($(now_ms) - start)) ms after the bar started"

as_user "${env_vars[@]}" "$tsukio_cal" icons --out "$work/ref" >/dev/null
order() {
  as_user "${env_vars[@]}" grim -g "0,0 400x28" "$work/strip.png" 2>/dev/null || { echo "no screenshot"; return; }
  row_order "$work/strip.png" "$work/ref" "$work"
}
row_is_right() { row=$(order); [ "$row" = "month day weekday week " ]; }
wait_for 10 row_is_right || { [ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/failed.png"; fail "row on screen: $row"; }
echo "order: $row"
# TSUKIO_E2E_SHOTS=DIR keeps the panel's picture, for the README.
[ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/waybar.png"

kill "$bar_pid"
wait "$bar_pid" 2>/dev/null || true
start=$(now_ms)
start_bar
wait_for 300 registered_is 4 || fail "after a bar restart $(registered) icons came back"
echo "bar restart: 4 icons registered $(($(now_ms) - start)) ms after the bar started"
wait_for 10 row_is_right || fail "row after the restart: $row"

# 終了(&X) is the menu's eighth entry; a host sends its click as dbusmenu's Event.
item=$(bus_call --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
  org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
  string:RegisteredStatusNotifierItems | grep -o ':[0-9.]*' | head -1)
bus_call --dest="$item" /MenuBar com.canonical.dbusmenu.Event int32:8 string:clicked \
  variant:int32:0 uint32:0 >/dev/null || fail "the menu's Event was refused"
wait_for 100 sh -c "! kill -0 $tsukio_pid 2>/dev/null" || fail "the menu's exit did not end tsukio"
set +e
wait "$tsukio_pid"
code=$?
set -e
[ "$code" -eq 0 ] || fail "tsukio exited with $code"
wait_for 50 registered_is 0 || fail "$(registered) icons left behind after exit"
echo "menu exit: exit 0, no icon left"
