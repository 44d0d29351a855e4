#!/usr/bin/env bash
# The installer under wine: /S installs for the user alone, with a Start menu entry and an
# entry in Apps & features and without the login entry (a choice, off by default); the
# uninstaller removes all of it again, silently too.
#   installer_test.sh WINE_SH PREFIX SETUP_EXE
set -euo pipefail
source "$(dirname "$0")/../e2e/helpers.sh"
wine_sh=$1 prefix=$2 setup=$3
user=$(ls "$prefix/drive_c/users" | grep -vx Public | head -1)
home="$prefix/drive_c/users/$user"
programs="$home/AppData/Local/Programs/Tsukio"
shortcut="$home/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tsukio.lnk"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tsukio'
run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
reg_has() { "$wine_sh" run "$prefix" reg query "$1" /v "$2" >/dev/null 2>&1; }

"$wine_sh" run "$prefix" "$setup" /S || fail "the installer exited with $?"
# The installer may return before its last files are written.
wait_for 150 test -f "$programs/uninstall.exe" || fail "nothing installed in $programs"
for file in tsukio.exe tsukio-cal.exe uninstall.exe; do
  [ -f "$programs/$file" ] || fail "$file not installed"
done
[ -f "$shortcut" ] || fail "no Start menu entry"
reg_has "$uninstall_key" DisplayName || fail "not listed in Apps & features"
reg_has "$uninstall_key" QuietUninstallString || fail "no silent uninstall command"
! reg_has "$run_key" Tsukio || fail "starts at login without being asked to"
echo "installed: programs, Start menu entry, Apps & features entry"

"$wine_sh" run "$prefix" "$programs/tsukio-cal.exe" almanac 2026-12-22 | grep -q 冬至 ||
  fail "the installed tsukio-cal.exe does not run"

"$wine_sh" run "$prefix" "$programs/uninstall.exe" /S || fail "the uninstaller exited with $?"
# The uninstaller runs on from a copy of itself and returns at once.
wait_for 200 sh -c "[ ! -e '$programs' ]" || fail "$programs still there after uninstalling"
[ ! -f "$shortcut" ] || fail "the Start menu entry was left"
! reg_has "$uninstall_key" DisplayName || fail "still listed in Apps & features"
echo "uninstalled: nothing left"
