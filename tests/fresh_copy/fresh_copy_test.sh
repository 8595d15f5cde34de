#!/usr/bin/env bash
# A copy of the tree's files alone in an empty folder (nothing beside it, as after a fresh
# clone) configures with its own test data; with one data file gone, the configure stops and
# names it. Usage: fresh_copy_test.sh <source tree> <cmake>. Exits 77 (skipped) outside git.
set -euo pipefail
src="$1"
cmake="$2"
cd "$src"
if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  echo "not a git checkout: the fresh copy test is skipped"
  exit 77
fi
work="$(mktemp -d "${TMPDIR:-/tmp}/zembrel-fresh.XXXXXX")"
trap 'rm -rf "$work"' EXIT
tree="$work/tree"
mkdir "$tree"
# The files a clone would hold, as they are now (tracked and new ones, not the ignored).
git ls-files -z -co --exclude-standard |
  while IFS= read -r -d '' f; do [ -f "$f" ] && printf '%s\0' "$f"; done |
  tar -cf - --null -T - | tar -xf - -C "$tree"

configure() {
  "$cmake" -S "$tree" -B "$tree/build" -G Ninja -DZEMBREL_BUILD_WINDOWS=OFF \
    -DZEMBREL_BUILD_BENCH=OFF >"$work/out.txt" 2>&1
}
if ! configure; then
  cat "$work/out.txt"
  echo "FAIL: the copy alone does not configure"
  exit 1
fi
data="$(sed -n 's/^ZEMBREL_TESTDATA:PATH=//p' "$tree/build/CMakeCache.txt")"
if [ "$data" != "$tree/tests/data" ]; then
  echo "FAIL: the copy's tests read $data, not its own tests/data"
  exit 1
fi

gone="real-mbm/corrupt/bad_compression.mbm"
rm "$tree/tests/data/$gone"
if configure; then
  echo "FAIL: the copy configures with $gone missing from its test data"
  exit 1
fi
if ! grep -q "incomplete" "$work/out.txt" || ! grep -q "$gone" "$work/out.txt"; then
  cat "$work/out.txt"
  echo "FAIL: the configure's message does not name the missing $gone"
  exit 1
fi
echo "the copy alone configures with its own test data; without $gone it stops and says so"
