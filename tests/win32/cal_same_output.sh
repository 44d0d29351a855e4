#!/usr/bin/env bash
# tsukio-cal.exe under wine prints byte for byte what the Linux tsukio-cal prints, errors and
# exit codes included.
#   cal_same_output.sh LINUX_TSUKIO_CAL WINE_SH PREFIX TSUKIO_CAL_EXE
set -euo pipefail
source "$(dirname "$0")/../e2e/helpers.sh"
linux=$1 wine_sh=$2 prefix=$3 exe=$4
begin_test

failed=0
while IFS= read -r line; do
  read -ra args <<<"$line"
  set +e
  "$linux" "${args[@]}" >"$work/linux.out" 2>"$work/linux.err"
  linux_code=$?
  "$wine_sh" run "$prefix" "$exe" "${args[@]}" >"$work/windows.out" 2>"$work/windows.err"
  windows_code=$?
  set -e
  if ! cmp -s "$work/linux.out" "$work/windows.out" || ! cmp -s "$work/linux.err" "$work/windows.err" ||
     [ "$linux_code" -ne "$windows_code" ]; then
    echo "DIFFERENT: tsukio-cal $line (exit $linux_code on Linux, $windows_code on Windows)"
    diff "$work/linux.out" "$work/windows.out" | head -5 || true
    diff "$work/linux.err" "$work/windows.err" | head -5 || true
    failed=1
  else
    echo "same: tsukio-cal $line ($(wc -l <"$work/linux.out") lines, exit $linux_code)"
  fi
done <<'COMMANDS'
holidays 1948 2100
holidays 1
days 1899-12-25 1900-01-10
days 2026-01-01 2026-12-31
days 9999-12-25 9999-12-31
almanac 2033-01-01 2033-12-31
koyomi 1900-01-01 1900-03-31
koyomi 2033-01-01 2034-12-31
koyomi 2100-12-01 2100-12-31
koyomi 2100-12-31 2101-01-01
today --date 2026-12-09 --weeks usa
month 2026 12 --weeks iso --date 2026-12-09
month 1 1 --no-color
days 2011-02-30
holidays 10000
COMMANDS
exit $failed
