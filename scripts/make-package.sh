#!/usr/bin/env bash
# Builds Lumitra as a packager does (Release, installed under /usr, Debian's hardening
# flags) in build-package/ and makes the Debian package there. Extra cmake arguments follow
# the script's name; BUILD_DIR selects another folder. Install the package with
#   sudo apt-get install ./build-package/lumitra_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build_dir=$top/${BUILD_DIR:-build-package}

# Only what the programs link, and what CPack runs to find the package's dependencies.
"$top/scripts/install-packages.sh" build-essential cmake pkg-config libgtkmm-3.0-dev \
    libjpeg62-turbo-dev libpng-dev libavcodec-dev libavformat-dev libswscale-dev libavutil-dev \
    dpkg-dev file

# Stack protector, fortified functions, read-only relocations bound at start-up, as Debian
# builds its own packages; the optimisation is the Release build's.
eval "$(DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP="-g -O2" \
    dpkg-buildflags --export=sh)"
export CXXFLAGS="$CPPFLAGS $CXXFLAGS"

cmake -S "$top" -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr "$@" \
    >/dev/null
cmake --build "$build_dir" -j "$(nproc)"
(cd "$build_dir" && cpack -G DEB)
