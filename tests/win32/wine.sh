#!/usr/bin/env bash
# Runs Windows programs of the cross build under wine64, in a wine prefix of the tests' own.
#   wine.sh create PREFIX      make the prefix, with Japanese fonts for the faces we ask for,
#                              and start an X server for it (Xvfb on a free display)
#   wine.sh run PREFIX EXE ARGS...
#   wine.sh remove PREFIX      stop that prefix's wineserver and X server, delete the prefix
# Every program in the prefix shares one wine desktop, whose display is fixed when the first
# starts: so all of them run on the prefix's X server, windows or not.
set -euo pipefail
source "$(dirname "$0")/../e2e/helpers.sh"

command=$1
prefix=$2
shift 2

wine=${TSUKIO_WINE:-}
if [ -z "$wine" ]; then
  for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then wine=$candidate; break; fi
  done
fi
[ -n "$wine" ] || { echo "wine.sh: no wine64 found" >&2; exit 1; }
wineserver="$(dirname "$wine")/wineserver"
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
export WINEARCH=win64
# The user's own folders stay out of it.
export XDG_CONFIG_HOME=$prefix/xdg-config XDG_DATA_HOME=$prefix/xdg-data XDG_CACHE_HOME=$prefix/xdg-cache
export LANG=C.UTF-8 LC_ALL=C.UTF-8

[ -f "$prefix/display" ] && export DISPLAY=$(cat "$prefix/display")

case $command in
  create)
    "$0" remove "$prefix"
    mkdir -p "$prefix"
    # The X server outlives this script: `remove` ends it by the process id kept here.
    start_x 1024x768x24
    echo "$x_pid" >"$prefix/xvfb.pid"
    echo "$DISPLAY" >"$prefix/display"
    "$wine" wineboot --init >/dev/null 2>&1
    # Wine has none of the Japanese faces the program asks for: the fonts of the host stand
    # in for them. The program sees through the stand-in and draws digits in Arial, as on
    # Linux (IPAPGothic's are too wide for the pictures); fonts_missing.sh takes these away.
    key='HKLM\Software\Microsoft\Windows NT\CurrentVersion'
    "$wine" reg add "$key\\FontSubstitutes" /v "ＭＳ Ｐゴシック" /d "IPAPGothic" /f >/dev/null
    "$wine" reg add "$key\\FontSubstitutes" /v "ＭＳ ゴシック" /d "IPAGothic" /f >/dev/null
    "$wine" reg add "$key\\FontSubstitutes" /v "Arial" /d "Liberation Sans" /f >/dev/null
    # Menus, tooltips and captions: the system faces become IPAPGothic, which has kanji.
    for font in MenuFont MessageFont StatusFont IconFont SmCaptionFont CaptionFont; do
      weight=400
      [ "$font" = CaptionFont ] && weight=700
      logfont=$(python3 -c 'import struct, sys
face = "IPAPGothic".encode("utf-16-le").ljust(64, b"\0")
print((struct.pack("<iiiiiBBBBBBBB", -12, 0, 0, 0, int(sys.argv[1]), 0, 0, 0, 1, 0, 0, 0, 0x22) + face).hex())' "$weight")
      "$wine" reg add 'HKCU\Control Panel\Desktop\WindowMetrics' /v "$font" /t REG_BINARY /d "$logfont" /f >/dev/null
    done
    "$wineserver" -w
    ;;
  run)
    exec "$wine" "$@"
    ;;
  remove)
    [ -d "$prefix" ] || exit 0
    "$wineserver" -k 2>/dev/null || true
    if [ -f "$prefix/xvfb.pid" ]; then
      kill "$(cat "$prefix/xvfb.pid")" 2>/dev/null || true
    fi
    rm -rf "$prefix"
    ;;
  *)
    echo "wine.sh: unknown command $command" >&2
    exit 2
    ;;
esac
