#!/usr/bin/env bash
# Fetches the Debian source package of an installed -dev package's library and unpacks its
# upstream sources into DEST/NAME, for a cross build that Debian ships no binaries for
# (pugixml for mingw-w64). The version is the one installed for the build machine, so the
# headers of both builds agree. Nothing is added to the source tree.
#
# usage: scripts/fetch-debian-source.sh SOURCE-PACKAGE BINARY-PACKAGE DEST
set -euo pipefail

if [[ $# -ne 3 || $1 == -h || $1 == --help ]]; then
  echo "usage: scripts/fetch-debian-source.sh SOURCE-PACKAGE BINARY-PACKAGE DEST" >&2
  echo "example: scripts/fetch-debian-source.sh pugixml libpugixml-dev build/deps" >&2
  exit 2
fi
source_package=$1
binary_package=$2
dest=$3
target="$dest/$source_package"

version=$(dpkg-query -W -f='${Version}' "$binary_package" 2>/dev/null) || {
  echo "fetch-debian-source: $binary_package is not installed" >&2
  exit 1
}
upstream=${version%-*}
upstream=${upstream#*:}
if [[ -f "$target/.version" && $(cat "$target/.version") == "$version" ]]; then
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/lists/partial" "$work/sources.list.d" "$work/download"

# The machine's own Debian archives, asked for sources instead of binaries.
for file in /etc/apt/sources.list.d/*.sources; do
  [[ -f $file ]] && sed 's/^Types: deb$/Types: deb-src/' "$file" > "$work/sources.list.d/$(basename "$file")"
done
for file in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
  [[ -f $file ]] && grep '^deb ' "$file" | sed 's/^deb /deb-src /' >> "$work/sources.list.d/machine.list" || true
done

apt_options=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$work/sources.list.d"
             -o "Dir::State::Lists=$work/lists" -o "Debug::NoLocking=1")
if [[ $(id -u) -eq 0 ]]; then
  apt_options+=(-o "APT::Sandbox::User=root")  # root's own temporary folder, no _apt user
fi
echo "Fetching the Debian sources of $source_package $version"
apt-get "${apt_options[@]}" -qq update
(cd "$work/download" && apt-get "${apt_options[@]}" -qq source --download-only \
  "$source_package=$version")

orig=$(ls "$work/download/${source_package}_${upstream}".orig.tar.* 2>/dev/null | head -n 1)
if [[ -z $orig ]]; then
  echo "fetch-debian-source: no upstream tarball of $source_package $version was fetched" >&2
  exit 1
fi
rm -rf "$target"
mkdir -p "$target"
tar -xf "$orig" -C "$target" --strip-components=1
echo "$version" > "$target/.version"
echo "Unpacked $source_package $version into $target"
