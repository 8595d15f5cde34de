#!/usr/bin/env bash
# Has test_install open, save and open an archive with an installed copy: its program folder
# made read-only, a home, cache, runtime and temporary folder of its own under SCRATCH.
# Usage: run_installed_copy.sh SCRATCH PROGRAM_FOLDER TEST_INSTALL_BINARY
set -euo pipefail
root=$1
prog=$2
tester=$3

# The installed program folder cannot be written; the cache folder can.
chmod -R a-w "$prog"
mkdir -p "$root/cache" "$root/home" "$root/tmp" "$root/run"
chmod 700 "$root/run"
run=()
if [ "$(id -u)" -eq 0 ]; then
  # The superuser writes through any permission: run as nobody where possible, otherwise
  # tell the test to treat the folder as read-only.
  if command -v setpriv >/dev/null && id nobody >/dev/null 2>&1 &&
     setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups true 2>/dev/null; then
    chown -R nobody "$root/cache" "$root/home" "$root/tmp" "$root/run"
    run=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
  else
    export ZEMBREL_ASSUME_READONLY=1
  fi
fi
HOME=$root/home XDG_CACHE_HOME=$root/cache XDG_RUNTIME_DIR=$root/run TMPDIR=$root/tmp \
  ZEMBREL_INSTALLED_PROGRAM=$prog "${run[@]}" "$tester" --gtest_brief=1
