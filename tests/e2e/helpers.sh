# shellcheck shell=bash disable=SC2034 # sets variables for the scripts that source it
# The end-to-end scaffold, sourced by every tray test (and by the wine scripts): a work
# folder, the processes a test starts and their ending, an X server, a session bus, a home
# of the test's own, tsukio's settings file, and waiting for a desktop that answers in its
# own time. Other people run the same programs on this machine: a test ends only the
# processes it started, by their process ids.

fail() { echo "FAIL: $*" >&2; exit 1; }

# wait_for TENTHS COMMAND...: runs COMMAND every tenth of a second until it succeeds, at most
# TENTHS times.
wait_for() {
  local tenths=$1 i
  shift
  for ((i = 0; i < tenths; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}

now_ms() { date +%s%3N; }

# The processes started by spawn and still ours to end, oldest first.
pids=()
# Commands (printf %q-quoted) that cleanup runs once the processes are gone.
cleanup_steps=()

# begin_test: a fresh work folder in $work; at exit every spawned process is ended, newest
# first, then the cleanup steps run and the folder goes.
begin_test() {
  work=$(mktemp -d)
  trap cleanup EXIT
}
cleanup() {
  local i step
  set +e
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do wait "${pids[i]}" 2>/dev/null; done
  for step in ${cleanup_steps[@]+"${cleanup_steps[@]}"}; do eval "$step"; done
  [ -z "${work:-}" ] || rm -rf "$work"
}
# at_cleanup COMMAND...: runs COMMAND at exit, after the processes have ended.
at_cleanup() { cleanup_steps+=("$(printf '%q ' "$@")"); }

# spawn COMMAND...: starts COMMAND in the background (redirections given to spawn are its
# own); $! is then its process id, which cleanup ends. Started through setpriv or env, which
# replace themselves, the id is still the program's own.
spawn() {
  "$@" &
  pids+=($!)
}
# track PID: a process the test did not start itself but must end (one a bus started for it).
track() { [ -z "$1" ] || pids+=("$1"); }
# forget PID: a process that has ended and been waited for; its id may belong to another
# process by the time cleanup runs.
forget() {
  local kept=() pid
  for pid in ${pids[@]+"${pids[@]}"}; do [ "$pid" = "$1" ] || kept+=("$pid"); done
  pids=(${kept[@]+"${kept[@]}"})
}
# stop PID: ends a spawned process and waits for it.
stop() {
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  forget "$1"
}
# reap PID: waits for a spawned process to end by itself; its exit status is then in $code.
reap() {
  code=0
  wait "$1" || code=$?
  forget "$1"
}
ended() { ! kill -0 "$1" 2>/dev/null; }

# private_home: HOME, the XDG folders and the runtime folder (mode 0700) in the work folder;
# the desktop's own files from the system, whatever the caller's session says; no session
# manager of the caller's.
private_home() {
  export HOME=$work XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config
  export XDG_CACHE_HOME=$work/cache XDG_DATA_DIRS=/usr/share
  unset SESSION_MANAGER
  # One copy per user is the rule; a test run beside others names a copy of its own.
  export TSUKIO_INSTANCE=e2e-$$
  mkdir -m 700 -p "$XDG_RUNTIME_DIR"
  mkdir -p "$XDG_CONFIG_HOME"
}

# The settings that show the month, day, weekday and week-number icons: four icons.
four_icons=$'[Pageleaf]\r\nMonth=1\r\nWeek=1\r\nNumber=1\r\n'
# write_settings TEXT [FOLDER]: tsukio's settings file, Quorv/Tsukio/tsukio.ini in FOLDER
# ($XDG_CONFIG_HOME by default; %APPDATA% in a wine prefix), holds TEXT.
write_settings() {
  local folder=${2:-$XDG_CONFIG_HOME}/Quorv/Tsukio
  mkdir -p "$folder"
  printf '%s' "$1" >"$folder/tsukio.ini"
}

# as_user: the prefix that runs a program as the unprivileged user, empty unless
# drop_privileges was called as root (some desktops will not run as root).
as_user=()
# drop_privileges: programs started with "${as_user[@]}" from here on run as nobody, and the
# work folder as it stands becomes theirs.
drop_privileges() {
  [ "$(id -u)" -eq 0 ] || return 0
  as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
  chown -R nobody:nogroup "$work"
}

# start_x [SIZE [OPTION...]]: an X server (Xvfb, WIDTHxHEIGHTxDEPTH, 800x600x24 by default,
# with Xvfb's further options) on a free display number, its process id in $x_pid; returns once it answers, with DISPLAY set to it
# and the programs started after it on X (no Wayland).
start_x() {
  local answer
  answer=$(mktemp)
  spawn Xvfb -displayfd 3 -screen 0 "${1:-800x600x24}" "${@:2}" -nolisten tcp 3>"$answer" </dev/null >/dev/null 2>&1
  x_pid=$!
  wait_for 100 test -s "$answer" || { rm -f "$answer"; fail "Xvfb did not start"; }
  export DISPLAY=:$(cat "$answer")
  rm -f "$answer"
  wait_for 50 xdpyinfo >/dev/null 2>&1 || fail "the X server on $DISPLAY does not answer"
  unset WAYLAND_DISPLAY
  export QT_QPA_PLATFORM=xcb
}

# start_bus: a private session bus, run as "${as_user[@]}", in DBUS_SESSION_BUS_ADDRESS.
start_bus() {
  spawn "${as_user[@]}" dbus-daemon --session --nofork --print-address=1 >"$work/bus" 2>/dev/null
  wait_for 100 test -s "$work/bus" || fail "dbus-daemon did not start"
  export DBUS_SESSION_BUS_ADDRESS=$(head -1 "$work/bus")
}

# On the session bus: calls, the StatusNotifierWatcher and its items.
bus_call() { "${as_user[@]}" dbus-send --session --print-reply=literal "$@" 2>/dev/null; }
watcher_runs() {
  bus_call --dest=org.freedesktop.DBus / org.freedesktop.DBus.NameHasOwner \
    string:org.kde.StatusNotifierWatcher | grep -q true
}
# registered_items: the bus names of the registered StatusNotifierItems, one a line.
registered_items() {
  bus_call --dest=org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.freedesktop.DBus.Properties.Get string:org.kde.StatusNotifierWatcher \
    string:RegisteredStatusNotifierItems | { grep -o ':[0-9.]*' || true; }
}
registered() { registered_items | wc -l; }
registered_is() { [ "$(registered)" -eq "$1" ]; }

# A real XEmbed tray: start_trayer starts trayer along the top, on the right, and returns
# once its panel is there, its process id in $tray_pid; trayer_panel prints the panel's
# window id.
start_trayer() {
  spawn trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1
  tray_pid=$!
  wait_for 100 trayer_panel >/dev/null || fail "trayer did not come up"
}
trayer_panel() {
  xwininfo -root -tree 2>/dev/null | awk '/"panel": \("panel" "trayer"\)/ {print $1; exit}' | grep .
}
