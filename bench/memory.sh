#!/usr/bin/env bash
# Resident memory of tsukio docked in a real XEmbed tray (Xvfb + trayer), beside that of the
# smallest Qt tray program built with the same flags. Usage: bench/memory.sh BUILD_DIR
set -euo pipefail
build=${1:-build}
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config HOME=$work QT_QPA_PLATFORM=xcb
mkdir -m 700 -p "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME/Quorv/Tsukio"
# Every icon shown: month, day, weekday, hour, minute, week number.
printf '[Pageleaf]\nMonth=1\nWeek=1\nTime=1\nNumber=1\nEtc=1\n' >"$XDG_CONFIG_HOME/Quorv/Tsukio/tsukio.ini"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
trayer --edge top --align right --widthtype request --height 24 >/dev/null 2>&1 &
pids+=($!)
sleep 1

rss() {
  "$@" >/dev/null 2>&1 &
  local pid=$!
  pids+=("$pid")
  sleep 3
  awk '/VmRSS/ {print $2}' "/proc/$pid/status"
  kill "$pid"
}
tsukio_kb=$(rss "$build/app/tsukio/tsukio")
base_kb=$(rss "$build/bench/tray-baseline")
echo "tsukio:        $tsukio_kb KiB resident"
echo "Qt tray alone: $base_kb KiB resident"
awk -v a="$tsukio_kb" -v b="$base_kb" 'BEGIN {printf "ratio:         %.2f\n", a / b}'
