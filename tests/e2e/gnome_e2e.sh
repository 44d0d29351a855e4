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

work=$(mktemp -d)
pids=()

# Ends what the test started, newest first, then whatever our buses and the shell started
# for us (settings and accessibility services): the processes that carry our private HOME.
cleanup() {
  set +e
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  sleep 0.5
  local pid
  for pid in $(started_for_us); do kill "$pid" 2>/dev/null; done
  rm -rf "$work"
}
started_for_us() {
  local environ
  for environ in /proc/[0-9]*/environ; do
    if { tr '\0' '\n' <"$environ"; } 2>/dev/null | grep -qxF "HOME=$work"; then
      environ=${environ#/proc/}
      echo "${environ%/environ}"
    fi
  done
}
trap cleanup EXIT

# A home of our own, set before any bus starts: the services the buses start write there.
private_home() {
  export HOME=$work XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
  export XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache XDG_STATE_HOME=$work/state
  export XDG_DATA_DIRS=/usr/share
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  mkdir -p "$XDG_CONFIG_HOME/Quorv/Tsukio" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
  unset WAYLAND_DISPLAY SESSION_MANAGER
}

# The shell needs GLX and a screen the size of a small laptop's.
start_x() {
  Xvfb -displayfd 3 -screen 0 1280x800x24 +extension GLX -nolisten tcp 3>"$work/display" 2>/dev/null &
  pids+=($!)
  wait_for 100 test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=:$(cat "$work/display")
  export LIBGL_ALWAYS_SOFTWARE=1
}

# A session bus, and a second one standing in for the system bus: without one the shell
# ends at start-up, asking for the login manager.
start_buses() {
  dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null &
  pids+=($!)
  dbus-daemon --session --nofork --print-address=1 >"$work/system-bus" 2>/dev/null &
  pids+=($!)
  wait_for 100 test -s "$work/bus" || fail "dbus-daemon did not start"
  wait_for 100 test -s "$work/system-bus" || fail "the second dbus-daemon did not start"
  export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
  export DBUS_SYSTEM_BUS_ADDRESS=$(head -1 "$work/system-bus")
}

enable_extension() {
  gsettings set org.gnome.shell enabled-extensions "['$extension']"
  gsettings set org.gnome.shell disable-user-extensions false
}

start_shell() {
  gnome-shell --x11 --replace -d "$DISPLAY" >>"$work/shell.log" 2>&1 &
  shell_pid=$!
  pids+=("$shell_pid")
}
stop_shell() {
  kill "$shell_pid"
  wait "$shell_pid" 2>/dev/null || true
}

private_home
start_x
start_buses
enable_extension
export QT_QPA_PLATFORM=xcb
# Six icons, the minute's among them, and the almanac in the tooltip as tsukio-cal prints it.
printf '[Pageleaf]\r\nMonth=1\r\nWeek=1\r\nTime=1\r\nNumber=1\r\nEtc=1\r\n' \
  >"$XDG_CONFIG_HOME/Quorv/Tsukio/$(basename "$tsukio").ini"

bus_call() { dbus-send --session --print-reply=literal "$@" 2>/dev/null; }
items() {
  bus_call --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
    string:RegisteredStatusNotifierItems | { grep -o ':[0-9.]*' || true; }
}
registered_is() { [ "$(items | wc -l)" -eq "$1" ]; }
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
now_ms() { date +%s%3N; }

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
  dbus-monitor "type='signal',member='NameOwnerChanged',arg0='org.kde.StatusNotifierWatcher'" \
    "type='signal',member='StatusNotifierItemRegistered'" >"$work/arrival" 2>/dev/null &
  monitor_pid=$!
  pids+=("$monitor_pid")
  sleep 0.3
}
arrival_ms() {
  kill "$monitor_pid"
  awk '/member=NameOwnerChanged/ && !t0 {sub(/.*time=/, ""); t0 = $1}
       /member=StatusNotifierItemRegistered/ {sub(/.*time=/, ""); t1 = $1}
       END {if (t0 && t1) printf "%d", (t1 - t0) * 1000}' "$work/arrival"
}

# Started before the shell: it says it waits, and gets its six icons once the shell is up.
"$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err" &
tsukio_pid=$!
pids+=("$tsukio_pid")
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
set +e
wait "$tsukio_pid"
code=$?
set -e
[ "$code" -eq 0 ] || fail "tsukio exited with $code"
wait_for 50 registered_is 0 || fail "$(items | wc -l) icons left behind after exit"
echo "menu exit: exit 0, no icon left"

# Started under the running shell: the row in order from the start.
"$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err" &
tsukio_pid=$!
pids+=("$tsukio_pid")
wait_for 300 registered_is 6 || fail "a copy started under the shell got $(items | wc -l) of 6 icons"
check_row "started under the shell"
