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

begin_test
private_home
write_settings "$four_icons"
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
start_x
start_bus
spawn xfwm4 >/dev/null 2>&1

start_panel() {
  spawn xfce4-panel >/dev/null 2>&1
  panel_pid=$!
}

# Started with no tray at all: one line says so, and it keeps running.
spawn "$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err"
tsukio_pid=$!
wait_for 100 grep -qs "waiting" "$work/tsukio.err" || fail "no word of waiting for a tray"
[ "$(wc -l <"$work/tsukio.err")" -eq 1 ] || fail "more than one line on stderr: $(cat "$work/tsukio.err")"
kill -0 "$tsukio_pid" || fail "tsukio ended without a tray"

spawn dbus-monitor "type='signal',member='NameOwnerChanged',arg0='org.kde.StatusNotifierWatcher'" \
  "type='method_call',member='RegisterStatusNotifierItem'" >"$work/arrival" 2>/dev/null
monitor_pid=$!
sleep 0.3
start=$(now_ms)
start_panel
wait_for 300 registered_is 4 || fail "the late panel got $(registered) of 4 icons"
echo "late panel: 4 icons registered $(($(now_ms) - start)) ms after the panel started"
stop "$monitor_pid"
# From the watcher's name appearing on the bus to the last item's registration.
awk '/member=NameOwnerChanged/ && !t0 {sub(/.*time=/, ""); t0 = $1}
     /member=RegisterStatusNotifierItem/ {sub(/.*time=/, ""); t1 = $1}
     END {if (t0 && t1) printf "  of which %d ms from the watcher appearing to the last registration\n", (t1 - t0) * 1000}' \
  "$work/arrival"
# xfconfd, which the bus started for the panel, goes at the end as well.
track "$(bus_call --dest=org.freedesktop.DBus / org.freedesktop.DBus.GetConnectionUnixProcessID \
  string:org.xfce.Xfconf | awk '{print $2}')"

# Where each of today's pictures is on screen, as tsukio-cal draws them.
"$tsukio_cal" icons --out "$work/ref" >/dev/null
order() {
  import -window root -crop 400x30+0+0 +repage "$work/strip.png"
  row_order "$work/strip.png" "$work/ref"
}
# The panel draws a moment after it registers.
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
spawn dbus-monitor "type='method_call',member='RegisterStatusNotifierItem'" >"$work/monitor" 2>/dev/null
monitor_pid=$!
sleep 0.3
menu_keys Down Down Return  # 更新(&R), after カレンダー(&C)
sleep 1
stop "$monitor_pid"
again=$(grep -c 'member=RegisterStatusNotifierItem' "$work/monitor" || true)
[ "$again" -eq 0 ] || fail "a refresh registered $again item(s) again"
echo "refresh: 0 registrations"

stop "$panel_pid"
start=$(now_ms)
start_panel
wait_for 300 registered_is 4 || fail "after a panel restart $(registered) icons came back"
echo "panel restart: 4 icons registered $(($(now_ms) - start)) ms after the panel started"
wait_for 10 row_is_right || fail "row after the restart: $row"

menu_keys Up Return  # 終了(&X), the last
wait_for 100 ended "$tsukio_pid" || fail "the menu's exit did not end tsukio"
reap "$tsukio_pid"
[ "$code" -eq 0 ] || fail "tsukio exited with $code"
wait_for 50 registered_is 0 || fail "$(registered) icons left behind after exit"
echo "menu exit: exit 0, no icon left"
