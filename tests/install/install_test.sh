#!/usr/bin/env bash
# Installs the build into a DESTDIR, checks what landed there (program folder, launcher,
# desktop entry, icon, MIME type), makes the program folder read-only and has
# test_install open, save and open an archive with that installed copy.
# Usage: install_test.sh BUILD_DIR TEST_INSTALL_BINARY
set -euo pipefail
build=$1
tester=$2

root=$(mktemp -d)
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
chmod 755 "$root"
dest=$root/dest
prefix=/usr/local
DESTDIR=$dest cmake --install "$build" --prefix "$prefix" >"$root/install.log"

fail() { echo "FAIL: $*" >&2; exit 1; }
prog=$dest$prefix/lib/mbmzembrel
for f in mbmzembrel bmconv.exe batchrun; do
  [ -x "$prog/$f" ] || fail "$prog/$f is missing or not executable"
done
for f in userguide.html home.html; do
  [ -f "$prog/$f" ] || fail "$prog/$f is missing"
done

launcher=$dest$prefix/bin/mbmzembrel
[ -L "$launcher" ] || fail "no launcher at $launcher"
[ "$(readlink "$launcher")" = ../lib/mbmzembrel/mbmzembrel ] || fail "launcher points elsewhere"
"$launcher" --version | grep -q '^mbmzembrel [0-9]' || fail "the launcher does not start the editor"

desktop=$dest$prefix/share/applications/mbmzembrel.desktop
[ -f "$desktop" ] || fail "no desktop entry"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop entry not valid"
fi
grep -qx "Exec=$prefix/bin/mbmzembrel %f" "$desktop" || fail "desktop entry does not start the launcher on a file"
grep -qx 'Icon=mbmzembrel' "$desktop" || fail "desktop entry names no icon"
for icon in scalable/apps/mbmzembrel.svg 48x48/apps/mbmzembrel.png 256x256/apps/mbmzembrel.png; do
  [ -f "$dest$prefix/share/icons/hicolor/$icon" ] || fail "icon $icon missing"
done

# The MIME type the desktop entry claims is the one the MIME package defines for *.mbm.
mime=$dest$prefix/share/mime/packages/mbmzembrel.xml
type=$(sed -n 's/^MimeType=\([^;]*\);$/\1/p' "$desktop")
[ -n "$type" ] || fail "desktop entry claims no MIME type"
if command -v update-mime-database >/dev/null; then
  mkdir -p "$root/mime/packages"
  cp "$mime" "$root/mime/packages/"
  update-mime-database "$root/mime" >/dev/null 2>&1 || fail "MIME package refused"
  grep -q "^50:$type:\*\.mbm$" "$root/mime/globs2" || fail "no *.mbm glob for $type"
else
  grep -q "<mime-type type=\"$type\">" "$mime" || fail "MIME package defines no $type"
fi

bash "$(dirname "$0")/run_installed_copy.sh" "$root" "$prog" "$tester"
