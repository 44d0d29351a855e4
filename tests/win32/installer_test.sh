#!/usr/bin/env bash
# The installer under wine: it refuses Windows before 10 1607; /S installs for the user alone,
# with a Start menu entry and an entry in Apps & features and without the login entry (a
# choice, off by default); the uninstaller removes all of it again, silently too.
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

# Wine tells programs the Windows version set in the prefix (winecfg), Windows 7 unless set;
# the prefix's own setting is put back at the end.
version_key='HKCU\Software\Wine'
set_windows() { "$wine_sh" run "$prefix" reg add "$version_key" /v Version /d "$1" /f >/dev/null; }
prefix_windows=$("$wine_sh" run "$prefix" reg query "$version_key" /v Version 2>/dev/null |
                 tr -d '\r' | awk '$1 == "Version" { print $3 }' || true)
log=$(mktemp)
restore() {
  if [ -n "$prefix_windows" ]; then
    set_windows "$prefix_windows"
  else
    "$wine_sh" run "$prefix" reg delete "$version_key" /v Version /f >/dev/null 2>&1 || true
  fi
  rm -f "$log"
}
trap restore EXIT

# On Windows 8.1 the installer refuses before writing anything: with /S at once with exit
# code 2, otherwise after its message, which OK closes.
set_windows win81
refused() {
  [ ! -e "$programs" ] || fail "installed into $programs on Windows 8.1"
  ! reg_has "$uninstall_key" DisplayName || fail "listed in Apps & features on Windows 8.1"
}
status=0
"$wine_sh" run "$prefix" "$setup" /S || status=$?
[ "$status" = 2 ] || fail "on Windows 8.1 the silent installer exited with $status, not 2"
refused
WINEDEBUG=+msgbox "$wine_sh" run "$prefix" "$setup" 2>"$log" &
setup_pid=$!
wait_for 300 grep -q MSGBOX_OnInit "$log" || fail "no message on Windows 8.1"
# The trace writes the text's kana and kanji as escapes: 必要 is \5fc5\8981.
grep MSGBOX_OnInit "$log" | grep 'Windows 10' | grep '1607' | grep -qF '\5fc5\8981' ||
  fail "the message does not say Windows 10 1607 is needed: $(grep MSGBOX_OnInit "$log")"
message_box=$(DISPLAY=$(cat "$prefix/display") xdotool search --name 'Tsukio セットアップ' | head -1)
DISPLAY=$(cat "$prefix/display") xdotool key --window "$message_box" Return
status=0
wait "$setup_pid" || status=$?
[ "$status" = 2 ] || fail "on Windows 8.1 the installer exited with $status after its message, not 2"
refused
echo "refused on Windows 8.1: the message, exit code 2, nothing written"

set_windows win10

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
