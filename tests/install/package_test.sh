#!/usr/bin/env bash
# Builds the Debian package with cpack into a scratch folder and checks it as apt would see
# it: its control data (name, version, architecture, the Qt libraries and the picture format
# plugins among its dependencies), its files (nothing beyond what it owns, so it cannot clash
# with another package), the desktop entry naming /usr/bin; lintian and appstreamcli where
# they are installed. Then test_install opens and saves with the unpacked program folder.
# Usage: package_test.sh BUILD_DIR VERSION TEST_INSTALL_BINARY
set -euo pipefail
build=$1
version=$2
tester=$3
here=$(cd "$(dirname "$0")" && pwd)
source=$here/../..

for tool in dpkg-deb dpkg-shlibdeps dpkg-parsechangelog file; do
  if ! command -v $tool >/dev/null; then
    echo "SKIP: $tool is missing (scripts/install-deps.sh installs it)"
    exit 77
  fi
done

root=$(mktemp -d)
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
chmod 755 "$root"
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$root/out" >"$root/cpack.log" 2>&1 ||
  { cat "$root/cpack.log"; fail "cpack failed"; }
arch=$(dpkg --print-architecture)
deb=$root/out/mbmzembrel_${version}_$arch.deb
[ -f "$deb" ] || fail "no $(basename "$deb"); cpack made: $(ls "$root/out")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = mbmzembrel ] || fail "package name $(field Package)"
[ "$(field Version)" = "$version" ] || fail "version $(field Version), the program is $version"
[ "$(field Architecture)" = "$arch" ] || fail "architecture $(field Architecture)"
depends=$(field Depends)
for dep in libqt6core6 libqt6gui6 libqt6widgets6 qt6-image-formats-plugins libstdc++6; do
  [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] ||
    fail "Depends lacks $dep: $depends"
done

# The release notes name the version that is packaged.
changelog=$(dpkg-parsechangelog -l "$source/data/package/changelog" -S Version)
[ "$changelog" = "$version" ] || fail "data/package/changelog starts at $changelog, not $version"
metainfo=$source/data/org.mbmzembrel.MbmZembrel.metainfo.xml
release=$(grep -o -m1 '<release version="[^"]*"' "$metainfo" | cut -d'"' -f2)
[ "$release" = "$version" ] || fail "the metainfo's newest release is $release, not $version"

# Every path the package holds, and the ones it must hold. A file of another package (a cache
# of the desktop databases) or one outside /usr would clash with the system's own.
dpkg-deb -c "$deb" | awk '{ print $1, $6 }' | sed 's| \./| |; s|/$||' >"$root/files"
while read -r mode path; do
  if [[ $path != usr* || $path == usr/local* || ($mode != d* && $path != *mbmzembrel*) ]]; then
    fail "the package holds $path, which is not its own"
  fi
done <"$root/files"
has() { grep -qx -e "$1 $2" "$root/files" || fail "no $2 ($1) in the package"; }
for f in mbmzembrel bmconv.exe batchrun; do has -rwxr-xr-x "usr/lib/mbmzembrel/$f"; done
has lrwxrwxrwx usr/bin/mbmzembrel
for f in lib/mbmzembrel/userguide.html lib/mbmzembrel/home.html \
         share/applications/mbmzembrel.desktop share/mime/packages/mbmzembrel.xml \
         share/metainfo/org.mbmzembrel.MbmZembrel.metainfo.xml \
         share/icons/hicolor/scalable/apps/mbmzembrel.svg \
         share/icons/hicolor/48x48/apps/mbmzembrel.png share/doc/mbmzembrel/copyright \
         share/doc/mbmzembrel/changelog.gz share/man/man1/mbmzembrel.1.gz; do
  has -rw-r--r-- "usr/$f"
done

unpacked=$root/unpacked
dpkg-deb -x "$deb" "$unpacked"
[ "$(readlink "$unpacked/usr/bin/mbmzembrel")" = ../lib/mbmzembrel/mbmzembrel ] ||
  fail "the launcher points elsewhere"
grep -qx 'Exec=/usr/bin/mbmzembrel %f' "$unpacked/usr/share/applications/mbmzembrel.desktop" ||
  fail "the desktop entry does not start /usr/bin/mbmzembrel"
"$unpacked/usr/bin/mbmzembrel" --version | grep -qx "mbmzembrel $version" ||
  fail "the packaged launcher does not start the editor"

if command -v lintian >/dev/null; then
  # Errors fail; warnings and notes are shown.
  lintian --fail-on error "$deb" ||
    fail "lintian reports errors"
else
  echo "lintian is missing: not run (scripts/install-deps.sh installs it)"
fi
if command -v appstreamcli >/dev/null; then
  # The metainfo and the desktop entry it launches, as they are installed.
  appstreamcli validate-tree --no-net "$unpacked" >"$root/appstream.log" 2>&1 ||
    { cat "$root/appstream.log"; fail "appstreamcli validate-tree failed"; }
else
  echo "appstreamcli is missing: the AppStream metadata is not validated (apt install appstream)"
fi

bash "$here/run_installed_copy.sh" "$root" "$unpacked/usr/lib/mbmzembrel" "$tester"
