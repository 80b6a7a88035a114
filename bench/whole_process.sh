#!/usr/bin/env bash
# Whole runs of lumitra-render, timed from outside with hyperfine: its start-up (--help and
# --version beside a minimal C++ program that links only libstdc++), and the largest
# animation end to end beside the same figure computed the plain way (bench/plain), in one
# run so that both meet the same machine. Usage: bench/whole_process.sh [BUILD_DIR] [RUNS]
# BUILD_DIR (default build) must hold a build with LUMITRA_BENCHMARKS on.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
runs=${2:-30}
"$top/scripts/install-packages.sh" hyperfine g++  # when run without ./test.sh's set-up

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
printf '#include <iostream>\nint main() { std::cout << "minimal\\n"; }\n' >"$work/minimal.cpp"
g++ -O2 -o "$work/minimal" "$work/minimal.cpp"

render=$build/src/app/lumitra-render
plain=$build/bench/plain_figure
largest="--axis-type 1 --draw-mode 2 --image-size-animation 188"
cd "$work"
hyperfine -N --warmup 5 --runs "$((runs * 3))" --export-markdown start-up.md \
    -n "lumitra-render --help" "$render --help" \
    -n "lumitra-render --version" "$render --version" \
    -n "minimal C++ program" "$work/minimal"
hyperfine -N --warmup 2 --runs "$runs" --export-markdown end-to-end.md \
    -n "lumitra-render, largest animation" "$render $largest --out figure.ppm" \
    -n "plain transcription, largest animation" "$plain $largest --out plain.ppm"
cmp -s figure.ppm plain.ppm && echo "The two PPM files are identical." ||
    echo "The two PPM files differ in $(cmp -l figure.ppm plain.ppm | wc -l) bytes."
cat start-up.md end-to-end.md
