#!/usr/bin/env bash
# Builds the page in a browser into build-web/site/ (or BUILD_DIR/site/): the core compiled
# to WebAssembly with Debian's emscripten, the page's HTML, CSS and JavaScript, and the
# program's texts. Any static web server can serve that folder as it is.
# Usage: scripts/make-web.sh [BUILD_DIR] [cmake args...]
set -euo pipefail

build_dir=${1:-build-web}
shift || true
top=$(cd "$(dirname "$0")/.." && pwd)

"$top/scripts/install-packages.sh" emscripten cmake python3
# Debian's emscripten finds its JavaScript modules (acorn) through node's search path.
export NODE_PATH=${NODE_PATH:-/usr/share/nodejs}
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
emcmake cmake -S "$top" -B "$top/$build_dir" -DCMAKE_BUILD_TYPE=Release -DLUMITRA_WERROR=ON \
    "${launcher[@]}" "$@" >/dev/null
cmake --build "$top/$build_dir" -j "$(nproc)"
echo "The site: $top/$build_dir/site ($(du -sb "$top/$build_dir/site" | cut -f1) bytes)"
