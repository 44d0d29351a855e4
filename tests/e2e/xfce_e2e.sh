#!/usr/bin/env bash
# tsukio in xfce4-panel's status tray (StatusNotifierItem on X11), on a private X server and
# session bus: started before any panel it says it waits and gets its icons in once the
# panel comes; they read month, day, weekday, week left to right; a refresh registers
# nothing again; a restarted panel gets them back in order; the menu's 終了 ends it.
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
  [ -n "${xfconf_pid:-}" ] && kill "$xfconf_pid" 2>/dev/null
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT


export HOME=$work XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
export TSUKIO_INSTANCE=e2e-$$  # a copy of its own beside other test runs
export XDG_DATA_DIRS=/usr/share XDG_CACHE_HOME=$work/cache
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Quorv/Tsukio"
printf '[Pageleaf]\r\nMonth=1\r\nWeek=1\r\nNumber=1\r\n' >"$XDG_CONFIG_HOME/Quorv/Tsukio/$(basename "$tsukio").ini"
# One panel along the top holding only the status tray.
panel_xml=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
mkdir -p "$panel_xml"
cat >"$panel_xml/xfce4-panel.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=6;x=0;y=0"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="24"/>
      <property name="plugin-ids" type="array"><value type="int" value="1"/></property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="systray">
      <property name="square-icons" type="bool" value="false"/>
    </property>
  </property>
</channel>
EOF
unset WAYLAND_DISPLAY SESSION_MANAGER
export QT_QPA_PLATFORM=xcb

Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
export DISPLAY=:$(cat "$work/display")
dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
pids+=($!)
wait_for 100 test -s "$work/bus" || fail "dbus-daemon did not start"
export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
xfwm4 >/dev/null 2>&1 &
pids+=($!)

bus_call() { dbus-send --session --print-reply=literal "$@" 2>/dev/null; }
registered() {
  bus_call --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
    string:RegisteredStatusNotifierItems | { grep -o ':[0-9.]*' || true; } | wc -l
}
registered_is() { [ "$(registered)" -eq "$1" ]; }
start_panel() {
  xfce4-panel >/dev/null 2>&1 &
  panel_pid=$!
  pids+=("$panel_pid")
}
now_ms() { date +%s%3N; }

# Started with no tray at all: one line says so, and it keeps running.
"$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err" &
tsukio_pid=$!
pids+=("$tsukio_pid")
wait_for 100 grep -qs "waiting" "$work/tsukio.err" || fail "no word of waiting for a tray"
[ "$(wc -l <"$work/tsukio.err")" -eq 1 ] || fail "more than one line on stderr: $(cat "$work/tsukio.err")"
kill -0 "$tsukio_pid" || fail "tsukio ended without a tray"

dbus-monitor "type='signal',member='NameOwnerChanged',arg0='org.kde.StatusNotifierWatcher'" \
  "type='method_call',member='RegisterStatusNotifierItem'" >"$work/arrival" 2>/dev/null &
monitor_pid=$!
pids+=("$monitor_pid")
sleep 0.3
start=$(now_ms)
start_panel
wait_for 300 registered_is 4 || fail "the late panel got $(registered) of 4 icons"
echo "late panel: 4 icons registered $(($(now_ms) - start)) ms after the panel started"
kill "$monitor_pid"
# From the watcher's name appearing on the bus to the last item's registration.
awk '/member=NameOwnerChanged/ && !t0 {sub(/.*time=/, ""); t0 = $1}
     /member=RegisterStatusNotifierItem/ {sub(/.*time=/, ""); t1 = $1}
     END {if (t0 && t1) printf "  of which %d ms from the watcher appearing to the last registration\n", (t1 - t0) * 1000}' \
  "$work/arrival"
xfconf_pid=$(bus_call --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetConnectionUnixProcessID \
  string:org.xfce.Xfconf | awk '{print $2}') || true

# Where each of today's pictures is on screen, as tsukio-cal draws them.
"$tsukio_cal" icons --out "$work/ref" >/dev/null
order() {
  import -window root -crop 400x30+0+0 +repage "$work/strip.png"
  row_order "$work/strip.png" "$work/ref" "$work"
}
# The panel draws a moment after it registers.
row_is_right() { row=$(order); [ "$row" = "month day weekday week " ]; }
wait_for 10 row_is_right || { [ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/failed.png"; fail "row on screen: $row"; }
echo "order: $row"
# TSUKIO_E2E_SHOTS=DIR keeps the panel's picture, for the README.
[ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/xfce.png"

# Right-click the leftmost icon and walk the panel's menu with the arrow keys.
menu_keys() {
  xdotool mousemove 12 12 click 3
  sleep 0.7
  xdotool key "$@"
}
dbus-monitor "type='method_call',member='RegisterStatusNotifierItem'" >"$work/monitor" 2>/dev/null &
monitor_pid=$!
pids+=("$monitor_pid")
sleep 0.3
menu_keys Down Down Return  # 更新(&R), after カレンダー(&C)
sleep 1
kill "$monitor_pid"
again=$(grep -c 'member=RegisterStatusNotifierItem' "$work/monitor" || true)
[ "$again" -eq 0 ] || fail "a refresh registered $again item(s) again"
echo "refresh: 0 registrations"

kill "$panel_pid"
wait "$panel_pid" 2>/dev/null || true
start=$(now_ms)
start_panel
wait_for 300 registered_is 4 || fail "after a panel restart $(registered) icons came back"
echo "panel restart: 4 icons registered $(($(now_ms) - start)) ms after the panel started"
wait_for 10 row_is_right || fail "row after the restart: $row"

menu_keys Up Return  # 終了(&X), the last
wait_for 100 sh -c "! kill -0 $tsukio_pid 2>/dev/null" || fail "the menu's exit did not end tsukio"
set +e
wait "$tsukio_pid"
code=$?
set -e
[ "$code" -eq 0 ] || fail "tsukio exited with $code"
wait_for 50 registered_is 0 || fail "$(registered) icons left behind after exit"
echo "menu exit: exit 0, no icon left"
