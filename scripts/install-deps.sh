#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, and nothing else.
# Quiet and quick when everything is already there, so `make` can call it every time.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang make pkg-config
  qt6-base-dev qt6-qpa-plugins libfreetype-dev libfontconfig-dev fonts-ipafont-gothic fonts-liberation2
  fonts-dejavu-core  # characters neither face has, for the tests
  ncal  # `cal`, the measure tsukio-cal is held to in bench/
  libgtest-dev libgmock-dev libbenchmark-dev
  libxcb1-dev libxcb-xfixes0-dev xvfb trayer xdotool x11-utils imagemagick
  xfce4-panel xfwm4 xfconf sway waybar grim qt6-wayland
  libnova-dev
  libcurl4-openssl-dev libsystemd-dev
  python3 tinyproxy dbus-daemon
  python3-icalendar khal faketime zsh fish  # tsukio-cal's feeds and completion as others read them
  libclang-rt-14-dev
  desktop-file-utils dpkg-dev file man-db
)

# `install-deps.sh windows`: the cross compiler, wine and NSIS as well, for `make windows`
# and the Windows half of `make test`.
# `install-deps.sh plasma`: KDE Plasma as well, for `make test-plasma` only;
# `install-deps.sh gnome`: GNOME Shell and its AppIndicator extension, for `make test-gnome`.
case ${1:-} in
  windows) packages+=(g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 wine64 nsis) ;;
  plasma) packages+=(plasma-desktop plasma-workspace kded5) ;;
  gnome) packages+=(gnome-shell gnome-shell-extension-appindicator) ;;
esac

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "install-deps: need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo=(sudo)
fi
echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
