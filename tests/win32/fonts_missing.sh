#!/usr/bin/env bash
# The font tests of the Win32 layer again, in the prefix with nothing standing in for
# ＭＳ Ｐゴシック and ＭＳ ゴシック, as on a Windows without them: the program must then find a
# Japanese face by itself. The prefix's stand-ins are put back afterwards.
#   fonts_missing.sh WINE_SH PREFIX LAYER_TESTS_EXE
set -euo pipefail
wine_sh=$1 prefix=$2 tests=$3
key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes'
saved=$(mktemp -d)
"$wine_sh" run "$prefix" reg export "$key" "Z:$saved/substitutes.reg" /y >/dev/null
restore() {
  "$wine_sh" run "$prefix" reg import "Z:$saved/substitutes.reg" >/dev/null 2>&1
  rm -rf "$saved"
}
trap restore EXIT
for face in "ＭＳ Ｐゴシック" "ＭＳ ゴシック"; do
  "$wine_sh" run "$prefix" reg delete "$key" /v "$face" /f >/dev/null
done
"$wine_sh" run "$prefix" "$tests" --gtest_brief=1 --gtest_filter='TrayPictures.*'
