#!/usr/bin/env bash
# Starts (start) or stops (stop) the wine server of the Windows tests' prefix.
#   tests/windows/wine-server.sh start|stop <prefix>
# The start makes the prefix on first use (about ten seconds, without any window) and
# keeps one server running, so each Windows program of the tests starts quickly; the stop
# ends the server and every wine process of the prefix. Without wine both do nothing.
set -uo pipefail
action="${1:-}"
export WINEPREFIX="${2:?usage: $0 start|stop <prefix>}"
# Wine keeps its server's socket under TMPDIR. The tests give wine this same folder, so
# that they find the server started here (tests/windows/main.cpp), and nothing of
# wine's stays in /tmp or /dev/shm.
export TMPDIR="$WINEPREFIX-tmp"
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY
if ! command -v wine >/dev/null 2>&1; then
  echo "wine is not installed: the Windows tests are skipped (scripts/install-deps.sh --windows)."
  exit 0
fi
mkdir -p "$TMPDIR"
case "$action" in
start)
  mkdir -p "$WINEPREFIX"
  # Ends by itself a minute after its last program, should the stop never come.
  wineserver -p60 </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1 || { echo "wine could not start in $WINEPREFIX"; exit 1; }
  echo "wine is ready in $WINEPREFIX" ;;
stop)
  wineserver -k </dev/null >/dev/null 2>&1
  echo "wine stopped in $WINEPREFIX" ;;
*)
  echo "usage: $0 start|stop <prefix>" >&2
  exit 2 ;;
esac
