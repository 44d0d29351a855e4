#!/usr/bin/env bash
# tsukio-cal.exe icons and snapshot write real PNG files of the expected sizes.
#   cal_pictures.sh WINE_SH PREFIX TSUKIO_CAL_EXE OUT_DIR
set -euo pipefail
source "$(dirname "$0")/../e2e/helpers.sh"
wine_sh=$1 prefix=$2 exe=$3 out=$4
rm -rf "$out/windows-icons" "$out/windows-window"
mkdir -p "$out/windows-icons" "$out/windows-window"

"$wine_sh" run "$prefix" "$exe" icons 2026-12-09 --time 12:34 --weeks iso --out "Z:$out/windows-icons"
"$wine_sh" run "$prefix" "$exe" snapshot 2026 12 --date 2026-12-09 --out "Z:$out/windows-window"
for name in month day weekday hour minute week ok sv pc; do
  [ "$(identify -format '%w %h' "$out/windows-icons/$name.png")" = "16 16" ] || fail "$name.png is not 16 x 16"
done
for name in calendar options about; do
  [ "$(identify -format '%w %h' "$out/windows-window/$name.png")" = "250 289" ] || fail "$name.png is not 250 x 289"
done
# Today's cell is aqua (the 9th, in the second week row), as on Linux.
pixel=$(convert "$out/windows-window/calendar.png" -format '%[hex:p{114,59}]' info:)
[ "${pixel:0:6}" = "00FFFF" ] || fail "today's cell is #$pixel, not aqua"
echo "pictures: 9 icons and 3 views in $out"
