#!/usr/bin/env bash
# The Debian package, built by CPack into a temporary folder: its name, fields and declared
# dependencies, its contents, and the packaged programs running from the unpacked files,
# tsukio in a real X server with a real tray.
set -euo pipefail
cpack=$1
build=$2
version=$3
tray_e2e=$4

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$cpack" --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  fail "cpack failed: $(cat "$work/cpack.log")"
deb=$work/tsukio_${version}-1_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack wrote: $(ls "$work")"
echo "package: $(basename "$deb"), $(stat -c %s "$deb") bytes"

dpkg-deb -I "$deb" >/dev/null || fail "dpkg-deb cannot read the package"
[ "$(dpkg-deb -f "$deb" Package)" = tsukio ] || fail "the package is not named tsukio"
[ "$(dpkg-deb -f "$deb" Version)" = "$version-1" ] || fail "the package is not version $version-1"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libcurl4 fonts-ipafont-gothic \
  fonts-liberation2; do
  grep -Eq "(^|, )$needed( |,|$)" <<<"$depends" || fail "Depends lacks $needed: $depends"
done
echo "depends: $depends"

contents=$(dpkg-deb -c "$deb")
files=$(awk '$1 !~ /^d/ {print $6}' <<<"$contents" | LC_ALL=C sort)
expected="./usr/bin/tsukio
./usr/bin/tsukio-cal
./usr/libexec/tsukio/tsukio-cal-tools
./usr/libexec/tsukio/tsukio-http.so
./usr/share/applications/tsukio.desktop
./usr/share/bash-completion/completions/tsukio-cal
./usr/share/doc/tsukio/copyright
./usr/share/fish/vendor_completions.d/tsukio-cal.fish
./usr/share/icons/hicolor/128x128/apps/tsukio.png
./usr/share/icons/hicolor/16x16/apps/tsukio.png
./usr/share/icons/hicolor/22x22/apps/tsukio.png
./usr/share/icons/hicolor/24x24/apps/tsukio.png
./usr/share/icons/hicolor/256x256/apps/tsukio.png
./usr/share/icons/hicolor/32x32/apps/tsukio.png
./usr/share/icons/hicolor/48x48/apps/tsukio.png
./usr/share/icons/hicolor/64x64/apps/tsukio.png
./usr/share/man/man1/tsukio-cal.1.gz
./usr/share/man/man1/tsukio.1.gz
./usr/share/zsh/vendor-completions/_tsukio-cal"
[ "$files" = "$expected" ] || fail "the package's files differ: $(diff <(echo "$expected") <(echo "$files"))"
owners=$(awk '{print $2}' <<<"$contents" | sort -u)
[ "$owners" = root/root ] || fail "files not owned by root: $owners"
grep -Eq '^-rwxr-xr-x .* \./usr/bin/tsukio$' <<<"$contents" || fail "usr/bin/tsukio is not 0755"
echo "contents: $(wc -l <<<"$files") files under /usr, owned by root"

root=$work/root
dpkg-deb -x "$deb" "$root"
for program in tsukio tsukio-cal; do
  ! readelf -S "$root/usr/bin/$program" | grep -q '\.debug_info' || fail "$program is not stripped"
done
[ "$("$root/usr/bin/tsukio-cal" holidays 2026 | wc -l)" -eq 18 ] ||
  fail "the packaged tsukio-cal does not list 2026's 18 holidays"
bash "$tray_e2e" "$root/usr/bin/tsukio" || fail "the packaged tsukio does not pass the tray test"
echo "programs: the packaged ones run"
