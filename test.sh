#!/usr/bin/env bash
# Sets up, builds and runs every test; the GUI tests get a virtual X server of their own.
# BUILD_DIR and extra cmake arguments (after the script's name) select another build.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
build_dir=${BUILD_DIR:-build}
"$top/scripts/setup.sh" "$build_dir" -DBUILD_TESTING=ON -DLUMITRA_BENCHMARKS=ON "$@"
# The page in a browser, which the browser test loads (build-web/site).
"$top/scripts/make-web.sh"
cd "$top/$build_dir"
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -j "$(nproc)"
