#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build and the tests need, only when something is missing.
#   scripts/install-deps.sh            the build, the tests and the benchmarks
#   scripts/install-deps.sh --windows  also the Windows cross compiler and wine, with which
#                                      the tests build and run the Windows side (make test)
#   scripts/install-deps.sh --dev      also the developers' tools no test needs: the profilers
#                                      for the converter's performance work (perf record,
#                                      valgrind --tool=callgrind) and what looking at the window
#                                      under a virtual display takes (Xvfb, xdotool, import)
set -euo pipefail
pkgs=(build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev
      libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev xdg-utils
      clang-format ccache qt6-image-formats-plugins desktop-file-utils liblcms2-dev
      dpkg-dev file lintian appstream)
windows_pkgs=(g++-mingw-w64-x86-64-posix wine wine64)
dev_pkgs=(linux-perf valgrind xvfb xauth xdotool imagemagick)
for arg in "$@"; do
  case "$arg" in
    --windows) pkgs+=("${windows_pkgs[@]}") ;;
    --dev) pkgs+=("${dev_pkgs[@]}") ;;
    *) echo "install-deps.sh: unknown option $arg (use --windows or --dev)" >&2; exit 2 ;;
  esac
done
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
# How long to wait in all for a lock that another package manager holds (unattended
# upgrades, a second install): ZEMBREL_APT_LOCK_WAIT seconds, 600 unless set.
lock_wait="${ZEMBREL_APT_LOCK_WAIT:-600}"
# Runs apt-get; while another process holds one of the package manager's locks, says once
# what it waits for and tries again, up to lock_wait seconds. DPkg::Lock::Timeout lets apt
# wait for dpkg's lock itself between tries; the lists lock of apt-get update and the
# archives lock it does not cover, hence the tries.
apt_get() {
  local err start=$SECONDS said=0 timeout=0 lock held=""
  err="$(mktemp)"
  while :; do
    if $SUDO env DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout="$timeout" "$@" 2>"$err"; then
      rm -f "$err"
      return 0
    fi
    # apt names the lock and its holder when it gives up at once, only the lock after waiting.
    lock="$(grep -m1 -E 'Could not get lock|Unable to acquire the dpkg|Unable to lock' "$err" || true)"
    if [ -z "$lock" ]; then
      cat "$err" >&2
      rm -f "$err"
      return 1
    fi
    if [ $((SECONDS - start)) -ge "$lock_wait" ]; then
      echo "install-deps.sh: gave up after ${lock_wait} s waiting for the package manager's lock (${held:-${lock#E: }}); run it again when that process has ended" >&2
      rm -f "$err"
      return 1
    fi
    if [ "$said" -eq 0 ]; then
      held="${lock#E: }"
      echo "Waiting (up to ${lock_wait} s) for another package manager to let go of its lock (apt-get $1): $held"
      said=1
    fi
    timeout=5
    sleep 1
  done
}
apt_get update -qq
apt_get install -y -qq --no-install-recommends "${missing[@]}"
