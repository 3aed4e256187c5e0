#!/usr/bin/env bash
# The Debian package as a player gets it: builds and checks it (scripts/package.sh, from the g++
# Release tree build/gcc), unpacks it with dpkg-deb into a temporary root whose program folder is
# read-only, and runs the installed-package test (tests/package) against that root under Xvfb.
# Run as root, the launcher runs under a user id that no account or process has, so that whatever
# that id owns afterwards was written by the launcher.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/gcc"

bash "$root/scripts/package.sh"
version=$("$build/dist/zelto_qrv" --version | awk '{print $2}')
deb="$root/build/package/zelto-qrv_${version}_amd64.deb"

unpacked=$(mktemp -d)
trap 'chmod -R u+w "$unpacked"; rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
chmod 0755 "$unpacked"
chmod -R a-w "$unpacked/usr/lib/zelto-qrv"

if [[ $(id -u) -eq 0 ]]; then
  for uid in $(seq 61000 61999); do
    getent passwd "$uid" >/dev/null && continue
    pgrep -u "$uid" >/dev/null && continue
    [[ -z $(find /tmp /var/tmp /dev/shm -xdev -user "$uid" -print -quit 2>/dev/null) ]] || continue
    export QRV_RUN_AS_UID=$uid
    break
  done
  [[ -n "${QRV_RUN_AS_UID:-}" ]] || { echo "package-test.sh: no free user id" >&2; exit 1; }
fi

# -ac: the player's user id cannot read the server's authority file, as another user could not.
QRV_PACKAGE_ROOT="$unpacked" xvfb-run -a -s "-screen 0 1600x1000x24 -ac -noreset" \
  "$build/tests/package/test_installed_package"
