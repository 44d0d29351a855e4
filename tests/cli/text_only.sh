#!/usr/bin/env bash
# tsukio-cal's text commands need neither Qt nor libcurl: they are not among its libraries,
# and the commands run with those libraries replaced by files the loader cannot load. The
# drawing commands, which do need them, fail there: the hiding works.
set -euo pipefail
tool=$1
fail() { echo "FAIL: $*" >&2; exit 1; }

libs=$(ldd "$tool")
! grep -Ei 'libQt|libcurl|libssl|libcrypto|libgnutls' <<<"$libs" || fail "tsukio-cal loads: $libs"

hidden=$(mktemp -d)
trap 'rm -rf "$hidden"' EXIT
for lib in libQt6Core.so.6 libQt6Gui.so.6 libQt6Widgets.so.6 libQt6DBus.so.6 libcurl.so.4; do
  : >"$hidden/$lib"
done
run() { LD_LIBRARY_PATH=$hidden "$tool" "$@"; }
for command in "today" "month" "month 2026 5 --weeks iso" "days 2026-05-01 2026-05-03" \
  "holidays 2026" "almanac 2026-02-04" "ics 2026" "bar" "--help" "--version" "icons --help"; do
  # shellcheck disable=SC2086
  out=$(run $command) || fail "tsukio-cal $command fails without Qt"
  [ -n "$out" ] || fail "tsukio-cal $command printed nothing"
done
! run icons --out "$hidden/pictures" 2>/dev/null || fail "icons drew without Qt: nothing was hidden"
echo "text commands run without Qt and libcurl"
