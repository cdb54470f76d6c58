#!/usr/bin/env bash
# Makes the Windows release in dist/: the installer DavIrizevez-VERSION.msi, a .zip of the
# same files as the installer installs them, and SHA256SUMS of both.
#
#   scripts/package.sh
#
# The files come from the optimised build of the windows-release preset (build/
# windows-release), stripped. Installs the Debian packages that are missing. The test stage
# (scripts/test.sh windows) makes and tests an installer of the same source from its debug
# build instead, so that it does not cross-build everything twice.
set -euo pipefail
if [[ $# -gt 0 ]]; then
  sed -n '2,10s/^# \{0,1\}//p' "$0"
  [[ $1 == -h || $1 == --help ]] && exit 0
  exit 2
fi
cd "$(dirname "$0")/.."
source scripts/packages.sh

ensure_packages "${BUILD_PACKAGES[@]}" mingw-w64 g++-mingw-w64-x86-64-posix wixl zip
scripts/fetch-debian-source.sh pugixml libpugixml-dev build/deps
cmake --preset windows-release
cmake --build --preset windows-release -j 2 --target msi

build=build/windows-release
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=DavIrizevez-$version
# Made beside dist/ and put in its place when complete, so that a failure leaves no half
# release.
rm -rf dist.new
mkdir dist.new
cp "$build/$name.msi" dist.new/
(cd "$build/packaging/windows/msi-files" && zip -q -r -X "$OLDPWD/dist.new/$name.zip" .)
(cd dist.new && sha256sum "$name.msi" "$name.zip" >SHA256SUMS)
rm -rf dist
mv dist.new dist
echo "dist/:"
(cd dist && ls -l "$name.msi" "$name.zip" && cat SHA256SUMS)
