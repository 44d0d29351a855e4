#!/usr/bin/env bash
# tsukio in waybar's tray on a headless sway (StatusNotifierItem on Wayland): started before
# the bar it waits, and gets its icons in once the bar comes; they read month, day,
# weekday, week left to right; a restarted bar gets them back in order; the menu's 終了,
# sent as a host sends it, ends it and takes the icons away.
# Beside the tray, a waybar custom module runs `tsukio-cal bar --follow`: its text on screen is
# today's short date, drawn as the same bar draws the date the test expects, and it ends with
# the bar.
# sway will not run as root: everything here runs as an unprivileged user.
set -euo pipefail
source "$(dirname "$0")/helpers.sh"
source "$(dirname "$0")/row_order.sh"
tsukio=$1
tsukio_cal=$2

begin_test
private_home
export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
write_settings "$four_icons"
mkdir -p "$XDG_CONFIG_HOME/sway" "$XDG_CONFIG_HOME/waybar"
cat >"$XDG_CONFIG_HOME/sway/config" <<'EOF'
output HEADLESS-1 resolution 800x600 bg #336699 solid_color
EOF
weekdays=(日 月 火 水 木 金 土)
printf '{"text": "%s(%s)"}\n' "$(date +%-m/%-d)" "${weekdays[$(date +%w)]}" >"$work/expected.json"
cat >"$XDG_CONFIG_HOME/waybar/config" <<EOF
{ "layer": "top", "position": "top", "height": 28, "modules-left": ["tray"],
  "modules-right": ["custom/tsukio", "custom/expected"],
  "tray": { "icon-size": 24, "spacing": 4 },
  "custom/tsukio": { "exec": "$tsukio_cal bar --follow", "return-type": "json" },
  "custom/expected": { "exec": "cat $work/expected.json", "return-type": "json" } }
EOF
cat >"$XDG_CONFIG_HOME/waybar/style.css" <<'EOF'
* { font-family: sans-serif; font-size: 12px; min-height: 0; }
window#waybar { background: #dddddd; }
#custom-tsukio, #custom-expected { color: #000000; padding: 0 6px; }
#custom-tsukio { background: #ffff00; }
#custom-expected { background: #feff00; }
EOF
drop_privileges

start_bus
spawn "${as_user[@]}" sway -c "$XDG_CONFIG_HOME/sway/config" >"$work/sway.log" 2>&1
wayland_socket() { ls "$XDG_RUNTIME_DIR" | grep '^wayland-[0-9]*$' | head -1; }
wait_for 100 wayland_socket >/dev/null || fail "sway did not start"
export WAYLAND_DISPLAY=$(wayland_socket)

start_bar() {
  spawn "${as_user[@]}" waybar >"$work/waybar.log" 2>&1
  bar_pid=$!
}

spawn "${as_user[@]}" env QT_QPA_PLATFORM=wayland "$tsukio" >"$work/tsukio.out" 2>"$work/tsukio.err"
tsukio_pid=$!
wait_for 100 grep -qs "waiting" "$work/tsukio.err" || fail "no word of waiting for a tray: $(cat "$work/tsukio.err")"
kill -0 "$tsukio_pid" || fail "tsukio ended without a tray"

start=$(now_ms)
start_bar
wait_for 300 registered_is 4 || fail "the late bar got $(registered) of 4 icons"
echo "late bar: 4 icons registered $(($(now_ms) - start)) ms after the bar started"

"${as_user[@]}" "$tsukio_cal" icons --out "$work/ref" >/dev/null
order() {
  "${as_user[@]}" grim -g "0,0 400x28" "$work/strip.png" 2>/dev/null || { echo "no screenshot"; return; }
  row_order "$work/strip.png" "$work/ref"
}
wait_for 10 row_is_right || { [ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/failed.png"; fail "row on screen: $row"; }
echo "order: $row"
# TSUKIO_E2E_SHOTS=DIR keeps the panel's picture, for the README.
[ -z "${TSUKIO_E2E_SHOTS:-}" ] || cp "$work/strip.png" "$TSUKIO_E2E_SHOTS/waybar.png"

# The module's text: the dark pixels of its box against those of the expected text's box, each
# cut to the text. The boxes are found by their backgrounds, two yellows a step apart, so that
# the text's edges blend alike in both.
text_of() {
  local box
  box=$(convert "$work/bar.png" -fill black +opaque "$1" -format '%@' info:)
  [ "${box%%x*}" -gt 0 ] || return 1
  convert "$work/bar.png" -crop "$box" +repage -colorspace gray -threshold 50% -trim +repage "$2"
}
module_shows_date() {
  "${as_user[@]}" grim -g "0,0 800x28" "$work/bar.png" 2>/dev/null &&
    text_of '#ffff00' "$work/shown.png" && text_of '#feff00' "$work/expected.png" &&
    [ "$(compare -metric AE "$work/shown.png" "$work/expected.png" null: 2>&1)" = 0 ]
}
wait_for 100 module_shows_date || fail "the bar module does not show $(cat "$work/expected.json")"
# The module's process: waybar's child, or its shell's.
module_pid() {
  local pid parent
  for pid in $(pgrep -x -f "$tsukio_cal bar --follow"); do
    parent=$(ps -o ppid= -p "$pid" | tr -d ' ')
    if [ "$parent" = "$bar_pid" ] || [ "$(ps -o ppid= -p "$parent" | tr -d ' ')" = "$bar_pid" ]; then
      echo "$pid"
      return
    fi
  done
  return 1
}
follow_pid=$(module_pid) || fail "waybar runs no tsukio-cal bar --follow"
track "$follow_pid"
echo "bar module: $(cat "$work/expected.json") on screen"

stop "$bar_pid"
wait_for 50 ended "$follow_pid" || fail "tsukio-cal bar --follow outlived its bar"
forget "$follow_pid"
start=$(now_ms)
start_bar
wait_for 300 registered_is 4 || fail "after a bar restart $(registered) icons came back"
echo "bar restart: 4 icons registered $(($(now_ms) - start)) ms after the bar started"
wait_for 10 row_is_right || fail "row after the restart: $row"

# 終了(&X) is the menu's eighth entry; a host sends its click as dbusmenu's Event.
item=$(registered_items | head -1)
bus_call --dest="$item" /MenuBar com.canonical.dbusmenu.Event int32:8 string:clicked \
  variant:int32:0 uint32:0 >/dev/null || fail "the menu's Event was refused"
wait_for 100 ended "$tsukio_pid" || fail "the menu's exit did not end tsukio"
reap "$tsukio_pid"
[ "$code" -eq 0 ] || fail "tsukio exited with $code"
wait_for 50 registered_is 0 || fail "$(registered) icons left behind after exit"
echo "menu exit: exit 0, no icon left"
