#!/usr/bin/env bash
# Runs every benchmark program and prints its figures.
set -uo pipefail
build=${1:-build}
export QT_QPA_PLATFORM=offscreen
status=0
for b in "$build"/bench/*; do
  [ -f "$b" ] && [ -x "$b" ] || continue
  echo "== $(basename "$b")"
  "$b" || { echo "benchmark $(basename "$b") failed"; status=1; }
done
exit $status
