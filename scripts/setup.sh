#!/usr/bin/env bash
# Installs what the build, the program and the tests need on Debian 12 (only the packages
# that are missing), then configures and builds. Usage: scripts/setup.sh BUILD_DIR [cmake args...]
# A development build treats warnings as errors; later cmake arguments override that.
set -euo pipefail

build_dir=${1:-build}
shift || true
top=$(cd "$(dirname "$0")/.." && pwd)

"$top/scripts/install-packages.sh" build-essential cmake pkg-config libgtkmm-3.0-dev \
    libjpeg62-turbo-dev libpng-dev libavcodec-dev libavformat-dev libswscale-dev libavutil-dev \
    netpbm fonts-ipafont-gothic libgtest-dev libgmock-dev libbenchmark-dev \
    xvfb xauth imagemagick coreutils gettext locales python3 \
    poppler-utils librsvg2-bin
# The page's test drives Chromium headless through its WebDriver.
case " $* " in *" -DBUILD_TESTING=ON "*)
    "$top/scripts/install-packages.sh" chromium chromium-driver python3-selenium ;; esac
# Whole-process benchmarks (bench/whole_process.sh) time runs with hyperfine.
case " $* " in *" -DLUMITRA_BENCHMARKS=ON "*) "$top/scripts/install-packages.sh" hyperfine ;; esac
"$top/scripts/generate-locales.sh" en_US.UTF-8 de_DE.UTF-8 ja_JP.UTF-8

cmake -S "$top" -B "$top/$build_dir" -DLUMITRA_WERROR=ON "$@" >/dev/null
cmake --build "$top/$build_dir" -j "$(nproc)"
