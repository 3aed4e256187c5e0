#!/usr/bin/env bash
# Installs the Debian 12 packages the launcher needs to build, run and be tested, and only those
# that are missing: on a machine that has them all it does nothing.
set -euo pipefail

packages=(
  cmake ninja-build pkg-config g++ clang libclang-rt-14-dev
  libglib2.0-dev libcurl4-openssl-dev libcurl3-gnutls libsoup-3.0-dev libjson-glib-dev
  libgtk-3-dev libwebkit2gtk-4.1-dev libzip-dev libpugixml-dev libkeybinder-3.0-dev
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth xdotool x11-utils imagemagick fonts-noto-cjk librsvg2-bin zip python3
  dbus-daemon xclip
  openssl glib-networking bubblewrap xdg-dbus-proxy
  weston xwayland
  # The Debian package (scripts/package.sh) and its checks.
  dpkg-dev binutils lintian desktop-file-utils appstream
)

missing=()
for package in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$package")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
