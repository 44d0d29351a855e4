#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: exactly the expected files, a valid menu entry,
# icons as large as their folders say, man pages that render without a warning and name
# every command and option of tsukio-cal, and programs that run from there.
set -euo pipefail
cmake=$1
build=$2
version=$3

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix=$work/prefix
"$cmake" --install "$build" --prefix "$prefix" >/dev/null

expected="bin/tsukio
bin/tsukio-cal
libexec/tsukio/tsukio-cal-tools
libexec/tsukio/tsukio-http.so
share/applications/tsukio.desktop
share/bash-completion/completions/tsukio-cal
share/doc/tsukio/copyright
share/fish/vendor_completions.d/tsukio-cal.fish
share/icons/hicolor/128x128/apps/tsukio.png
share/icons/hicolor/16x16/apps/tsukio.png
share/icons/hicolor/22x22/apps/tsukio.png
share/icons/hicolor/24x24/apps/tsukio.png
share/icons/hicolor/256x256/apps/tsukio.png
share/icons/hicolor/32x32/apps/tsukio.png
share/icons/hicolor/48x48/apps/tsukio.png
share/icons/hicolor/64x64/apps/tsukio.png
share/man/man1/tsukio-cal.1.gz
share/man/man1/tsukio.1.gz
share/zsh/site-functions/_tsukio-cal"
actual=$(cd "$prefix" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort)
[ "$actual" = "$expected" ] || fail "installed files differ: $(diff <(echo "$expected") <(echo "$actual"))"
for program in tsukio tsukio-cal; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done
echo "files: $(wc -l <<<"$actual") as expected"
grep -qx 'License: Expat' "$prefix/share/doc/tsukio/copyright" || fail "the copyright file names no licence"

entry=$prefix/share/applications/tsukio.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the menu entry"
# The menu starts the program by name and shows the icon the theme got.
grep -qx 'Exec=tsukio' "$entry" || fail "the menu entry does not start tsukio"
grep -qx 'Icon=tsukio' "$entry" || fail "the menu entry does not show the tsukio icon"
grep -q '^Comment\[ja\]=' "$entry" || fail "the menu entry has no Japanese comment"
echo "menu entry: valid"

for picture in "$prefix"/share/icons/hicolor/*/apps/tsukio.png; do
  folder=$(basename "$(dirname "$(dirname "$picture")")")
  # The PNG header's IHDR chunk: width and height, big-endian, from byte 16.
  read -r width height < <(od -An -tu4 --endian=big -j16 -N8 "$picture")
  [ "${width}x${height}" = "$folder" ] || fail "$folder/apps/tsukio.png is ${width}x${height}"
done
echo "icons: each as large as its folder says"

for page in tsukio tsukio-cal; do
  file=$prefix/share/man/man1/$page.1.gz
  gzip -t "$file" || fail "$page.1.gz is not gzip"
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
    man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page.1 renders with warnings: $warnings"
  zcat "$file" | head -n 1 | grep -qF "\"Tsukio $version\"" || fail "$page.1 is not of version $version"
done
help=$("$prefix/bin/tsukio-cal" --help)
page=$(LC_ALL=C.UTF-8 MANWIDTH=300 man -l "$prefix/share/man/man1/tsukio-cal.1.gz" | col -b)
commands=$(awk '/^Commands:/ {on = 1; next} /^$/ {on = 0} on && /^  [a-z]/ {print $1}' <<<"$help")
[ "$(wc -w <<<"$commands")" -ge 6 ] || fail "found too few commands in --help: $commands"
for command in $commands; do
  grep -q "tsukio-cal $command" <<<"$page" || fail "tsukio-cal.1 lacks the command $command"
done
for option in $(grep -o -- '--[a-z0-9][a-z0-9-]*' <<<"$help" | sort -u); do
  grep -q -- "$option" <<<"$page" || fail "tsukio-cal.1 lacks the option $option"
done
echo "man pages: render cleanly, $(wc -w <<<"$commands") commands documented"

"$prefix/bin/tsukio-cal" --version | grep -qx "tsukio-cal $version" || fail "the installed tsukio-cal is not $version"
[ "$("$prefix/bin/tsukio-cal" today --date 2012-01-02)" = "2012年1月2日(月) -振替休日-  第1週　友引　旧12月9日　壬戌" ] ||
  fail "the installed tsukio-cal does not know 2 January 2012"
echo "programs: run from the prefix"
