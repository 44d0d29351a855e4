#!/usr/bin/env bash
# tsukio in GNOME Shell with the AppIndicator extension (StatusNotifierItem on X11), on a
# private X server and buses: started before the shell it waits and gets its icons once the
# shell comes; they read month, day, weekday, ..., week left to right, after a shell restart
# too; the menu starts with the day's details (the shell shows no tooltip); the day item
# describes itself with the whole date; across two turns of the minute the shell logs no
# JavaScript error for our items; 終了 ends it, and a copy started under the running shell
# gets its row in order as well.
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
source "$(dirname "$0")/row_order.sh"
tsukio=$1
tsukio_cal=$2
extension=ubuntu-appindicators@ubuntu.com

begin_test
# What our buses and the shell started for us (settings and accessibility services) carries
# our private HOME: it is ended too, once the processes we started are.
started_for_us() {
  local environ
  for environ in /proc/[0-9]*/environ; do
    if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF "HOME=$work"; then
      environ=${environ#/proc/}
      echo "${environ%/environ}"
    fi
  done
}
end_started_for_us() {
  local pid
  sleep 0.5
  for pid in $(started_for_us); do kill "$pid" 2>/dev/null; done
}
at_cleanup end_started_for_us

# A second session bus stands in for the system bus: without one the shell ends at
# start-up, asking for the login manager.
start_system_bus() {
  spawn dbus-daemon --session --nofork --print-address=1 >"$work/system-bus" 2>/dev/null
  wait_for 100 test -s "$work/system-bus" || fail "the second dbus-daemon did not start"
  export DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$work/system-bus")
}

enable_extension() {
  gsettings set org.gnome.shell enabled-extensions "['$extension']"
  gsettings set org.gnome.shell disable-user-extensions false
}

start_shell() {
  spawn gnome-shell --x11 --replace -d "$DISPLAY" >>"$work/shell.log" 2>&1
  shell_pid=$!
}
stop_shell() { stop "$shell_pid"; }

# A home of our own, set before any bus starts: the services the buses start write there.
private_home
export XDG_DATA_HOME=$work/data XDG_STATE_HOME=$work/state
mkdir -p "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
# The shell needs GLX and a screen the size of a small laptop's.
start_x 1280x800x24 +extension GLX
export LIBGL_ALWAYS_SOFTWARE=1
start_bus
start_system_bus
enable_extension
# Six icons, the minute's among them, and the almanac in the tooltip as tsukio-cal prints it.
write_settings $'[Pageleaf]\r\nMonth=1\r\nWeek=1\r\nTime=1\r\nNumber=1\r\nEtc=1\r\n'

items() { registered_items; }
item_property() {
  bus_call --dest="$1" /StatusNotifierItem org.freedesktop.DBus.Properties.Get \
    string:org.kde.StatusNotifierItem "string:$2" | sed 's/^ *variant *//'
}
item_with_id() {
  local item
  for item in $(items); do
    [ "$(item_property "$item" Id)" = "$1" ] && echo "$item" && return
  done
}
# The menu's entries as a host reads them: "label" or "-", an insensitive one marked "(off)".
menu_entries() {
  gdbus call --session --dest "$1" --object-path /MenuBar \
    --method com.canonical.dbusmenu.GetLayout -- 0 -1 '@as []' |
    grep -o "<([0-9]*, {[^}]*}" | sed -e "s/^<(\([0-9]*\), /\1 /" |
    awk '/visible.: <false>/ {next}
         {id = $1; label = "-"; if (match($0, /label.: <.[^>]*.>/)) label = substr($0, RSTART + 10, RLENGTH - 12)
          off = /enabled.: <false>/ ? " (off)" : ""; print id "\t" label off}'
}

"$tsukio_cal" icons --out "$work/ref" >/dev/null
# The extension puts the items at the right of the top bar, before the system menu.
row_is_right() {
  import -window root -crop 640x28+640+0 +repage "$work/strip.png"
  row=$(row_order "$work/strip.png" "$work/ref" "$work")
  [ "$row" = "month day weekday week " ]
}
check_row() {
  wait_for 10 row_is_right || {
    [ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/failed.png"
    fail "$1: row on screen: $row"
  }
  echo "$1: $row"
}
# From the watcher's name appearing on the bus to the last item's registration answered.
watch_arrival() {
  spawn dbus-monitor "type='signal',member='NameOwnerChanged',arg0='org.kde.StatusNotifierWatcher'" \
    "type='signal',member='StatusNotifierItemRegistered'" >"$work/arrival" 2>/dev/null
  monitor_pid=$!
  sleep 0.3
}
arrival_ms() {
  stop "$monitor_pid"
  awk '/member=NameOwnerChanged/ && !t0 {sub(/.*time=/, ""); t0 = $1}
       /member=StatusNotifierItemRegistered/ {sub(/.*time=/, ""); t1 = $1}
       END {if (t0 && t1) printf "%d", (t1 - t0) * 1000}' "$work/arrival"
}

# Started before the shell: it says it waits, and gets its six icons once the shell is up.
spawn "$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err"
tsukio_pid=$!
wait_for 100 grep -qs "waiting" "$work/tsukio.err" || fail "no word of waiting for a tray"
watch_arrival
start=$(now_ms)
start_shell
wait_for 300 registered_is 6 || fail "the shell got $(items | wc -l) of 6 icons"
echo "tsukio first: 6 icons registered $(($(now_ms) - start)) ms after the shell started," \
  "$(arrival_ms) ms after its watcher appeared"
check_row "tsukio first"
[ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/gnome.png"

# The shell restarts: the icons come back, in order.
stop_shell
watch_arrival
start_shell
wait_for 300 registered_is 6 || fail "after a shell restart $(items | wc -l) icons came back"
echo "shell restart: 6 icons back $(arrival_ms) ms after the watcher appeared"
check_row "shell restart"
shown_since=$(date +%s)

# The shell shows no tooltip: the menu starts with the day icon's tooltip, insensitive, and
# the day item describes itself with the same text; every item describes itself.
today=$("$tsukio_cal" today)
day=$(item_with_id tsukio-day)
[ -n "$day" ] || fail "no item with the id tsukio-day"
menu_entries "$day" >"$work/menu"
first_line=$(head -1 "$work/menu" | cut -f2)
[ "$first_line" = "$today (off)" ] || fail "the menu's first line: '$first_line', not '$today (off)'"
[ "$(sed -n 3p "$work/menu" | cut -f2)" = "カレンダー(_C)" ] || fail "the menu: $(cat "$work/menu")"
echo "menu: $first_line, then $(tail -n +3 "$work/menu" | cut -f2 | tr '\n' ' ')"
description=$(item_property "$day" IconAccessibleDesc)
[ "$description" = "$today" ] || fail "the day item's IconAccessibleDesc: '$description'"
for item in $(items); do
  [ -n "$(item_property "$item" IconAccessibleDesc)" ] || fail "$item has no IconAccessibleDesc"
done
echo "IconAccessibleDesc: $description"

# Two turns of the minute with the icons shown, each a new minute picture; the extension
# reads the items' properties again on each, and says nothing amiss.
while [ $(($(date +%s) / 60 - shown_since / 60)) -lt 2 ]; do sleep 1; done
sleep 2
errors=$(grep -A12 "JS ERROR" "$work/shell.log" |
  grep -c "StatusNotifierItem\|dbusmenu\|$extension" || true)
[ "$errors" -eq 0 ] || fail "the shell logged JavaScript errors for our items: $(grep -A3 "JS ERROR" "$work/shell.log" | head -20)"
echo "two turns of the minute: no JavaScript error in the shell's log"

# 終了(&X) as the shell sends it: it ends tsukio, and the icons go.
quit=$(awk -F'\t' '$2 == "終了(_X)" {print $1}' "$work/menu")
bus_call --dest="$day" /MenuBar com.canonical.dbusmenu.Event "int32:$quit" string:clicked \
  variant:int32:0 uint32:0 >/dev/null || fail "the menu's Event was refused"
wait_for 100 sh -c "! kill -0 $tsukio_pid 2>/dev/null" || fail "the menu's exit did not end tsukio"
reap "$tsukio_pid"
[ "$code" -eq 0 ] || fail "tsukio exited with $code"
wait_for 50 registered_is 0 || fail "$(items | wc -l) icons left behind after exit"
echo "menu exit: exit 0, no icon left"

# Started under the running shell: the row in order from the start.
spawn "$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err"
tsukio_pid=$!
wait_for 300 registered_is 6 || fail "a copy started under the shell got $(items | wc -l) of 6 icons"
check_row "started under the shell"
