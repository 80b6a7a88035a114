#!/usr/bin/env bash
# Installs what the build, the program and the tests need on Debian 12 (only the packages
# that are missing), then configures and builds. Usage: scripts/setup.sh BUILD_DIR [cmake args...]
set -euo pipefail

build_dir=${1:-build}
shift || true
top=$(cd "$(dirname "$0")/.." && pwd)

packages=(build-essential cmake pkg-config libgtkmm-3.0-dev libjpeg62-turbo-dev libpng-dev netpbm
          libavcodec-dev libavformat-dev libswscale-dev libavutil-dev
          fonts-ipafont-gothic libgtest-dev libgmock-dev libbenchmark-dev xvfb xauth
          imagemagick coreutils)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
fi

cmake -S "$top" -B "$top/$build_dir" "$@" >/dev/null
cmake --build "$top/$build_dir" -j "$(nproc)"
