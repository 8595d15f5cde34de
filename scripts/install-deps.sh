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
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
