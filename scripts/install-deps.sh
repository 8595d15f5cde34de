#!/usr/bin/env bash
# Installs the Debian/Ubuntu packages the build and the tests need, only when something is missing.
# `--dev` also installs the profilers used for the converter's performance work (perf record,
# valgrind --tool=callgrind); no test needs them, so `make test` and CI leave them out.
set -euo pipefail
pkgs=(build-essential cmake ninja-build qt6-base-dev qt6-base-dev-tools libgl-dev
      libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-dev xdg-utils
      clang-format ccache qt6-image-formats-plugins desktop-file-utils xvfb xdotool
      imagemagick)
dev_pkgs=(linux-perf valgrind)
if [ "${1:-}" = "--dev" ]; then
  pkgs+=("${dev_pkgs[@]}")
fi
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
