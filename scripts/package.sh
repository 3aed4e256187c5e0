#!/usr/bin/env bash
# Builds the Debian package build/package/zelto-qrv_<version>_amd64.deb from the plain g++ Release
# tree build/gcc (the one the test command builds too, so nothing is compiled twice), then checks it
# with lintian, desktop-file-validate and appstreamcli.
#
# Contents: the program folder /usr/lib/zelto-qrv/ (everything the build's dist/ holds but what a
# portable folder writes for itself), the command /usr/bin/zelto-qrv, /etc/zelto-qrv/deploy.ini as
# a conffile, the desktop entry, the icon in the hicolor theme, the AppStream metainfo, the manual
# page, the copyright and the changelog.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/gcc"
out="$root/build/package"

bash "$root/scripts/deps.sh"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
fi
cmake --build "$build" -j "$(nproc)"

dist="$build/dist"
generated="$build/packaging"
# The version and the desktop entry's id come from the CMake project, through the build.
version=$("$dist/zelto_qrv" --version | awk '{print $2}')
app_id=$(basename "$generated"/*.desktop .desktop)
package=zelto-qrv
[[ -n "$version" && -n "$app_id" ]] || { echo "package.sh: no version or id from $build" >&2; exit 1; }

stage=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$stage" "$work"' EXIT
chmod 0755 "$stage"

# The program folder: what the build put in dist/, without the portable marker and without what a
# portable program writes beside itself.
lib="$stage/usr/lib/$package"
mkdir -p "$lib"
(cd "$dist" && find . -mindepth 1 -maxdepth 1 ! -name portable.txt ! -name data ! -name image \
  -exec cp -R --no-preserve=ownership -t "$lib" {} +)
mkdir -p "$stage/usr/bin"
ln -s "../lib/$package/zelto_qrv" "$stage/usr/bin/$package"

install -D -m 0644 "$root/packaging/deploy.ini" "$stage/etc/$package/deploy.ini"
install -D -m 0644 "$generated/$app_id.desktop" "$stage/usr/share/applications/$app_id.desktop"
install -D -m 0644 "$generated/$app_id.metainfo.xml" "$stage/usr/share/metainfo/$app_id.metainfo.xml"
for size in 48 64 128 256; do
  install -D -m 0644 "$build/resources/icons/app_$size.png" \
    "$stage/usr/share/icons/hicolor/${size}x$size/apps/$app_id.png"
done
install -D -m 0644 "$root/resources/icons/app_48.svg" "$stage/usr/share/icons/hicolor/scalable/apps/$app_id.svg"
install -D -m 0644 "$root/packaging/copyright" "$stage/usr/share/doc/$package/copyright"
gzip -9n -c "$generated/changelog" > "$stage/usr/share/doc/$package/changelog.gz"
mkdir -p "$stage/usr/share/man/man1"
gzip -9n -c "$root/packaging/$package.1" > "$stage/usr/share/man/man1/$package.1.gz"

# Files are the package's, not the builder's: plain modes, binaries stripped of what only a
# debugger needs (the program keeps the dynamic symbols its web engine module takes from it).
find "$stage" -type d -exec chmod 0755 {} +
find "$stage" -type f -exec chmod 0644 {} +
elves=()
while IFS= read -r -d '' file; do
  if [[ $(head -c 4 "$file" | od -An -c | tr -d ' ') == '177ELF' ]]; then
    strip --strip-unneeded --remove-section=.comment --remove-section=.note "$file"
    elves+=("$file")
  fi
done < <(find "$lib" -type f -print0)
for file in "${elves[@]}"; do
  [[ "$file" == *.so ]] || chmod 0755 "$file"
done

# Depends: the libraries the binaries link (the web engine module brings WebKitGTK's; gdk-pixbuf
# brings the picture loaders of the emoticons and the skin), and the packages whose modules are
# opened at run time rather than linked: libcurl for the web client (opened by its first request),
# TLS for the web engine's https pages (a GIO module), the icon theme of GTK's own dialogs, and the
# web engine's media plugins for the game page's sounds.
mkdir -p "$work/debian"
printf 'Source: %s\n\nPackage: %s\nArchitecture: amd64\n' "$package" "$package" > "$work/debian/control"
shlibs=$(cd "$work" && dpkg-shlibdeps -O -xlibc6-dbg "${elves[@]}" 2>"$work/shlibdeps.log" |
  sed -n 's/^shlibs:Depends=//p')
[[ -n "$shlibs" ]] || { cat "$work/shlibdeps.log" >&2; exit 1; }
loaded="libcurl3-gnutls, glib-networking, adwaita-icon-theme, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good"

mkdir -p "$stage/DEBIAN"
installed_size=$(du -sk --exclude=DEBIAN "$stage" | cut -f1)
cp "$generated/control" "$stage/DEBIAN/control"
{
  echo "Installed-Size: $installed_size"
  echo "Depends: $shlibs, $loaded"
} >> "$stage/DEBIAN/control"
echo "/etc/$package/deploy.ini" > "$stage/DEBIAN/conffiles"
(cd "$stage" && find . -path ./DEBIAN -prune -o -type f -printf '%P\0' | sort -z | xargs -0 md5sum) \
  > "$stage/DEBIAN/md5sums"
chmod 0644 "$stage/DEBIAN/control" "$stage/DEBIAN/conffiles" "$stage/DEBIAN/md5sums"

mkdir -p "$out"
deb="$out/${package}_${version}_amd64.deb"
dpkg-deb --root-owner-group -Zxz --build "$stage" "$deb" >/dev/null
echo "$deb"

# The checks: lintian must find no error, the desktop entry and the metainfo must validate.
lintian --fail-on error --tag-display-limit 0 "$deb"
desktop-file-validate "$stage/usr/share/applications/$app_id.desktop"
appstreamcli validate --no-net "$stage/usr/share/metainfo/$app_id.metainfo.xml"
