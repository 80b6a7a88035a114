#!/usr/bin/env bash
# The interference-colour chart end to end: lumitra-render from start to the finished
# 1600 × 900 file with its description, for each kind and format, timed with hyperfine.
# Usage: bench/chart_process.sh [BUILD_DIR] [RUNS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$top/build}" && pwd)
runs=${2:-20}
"$top/scripts/install-packages.sh" hyperfine  # when run without ./test.sh's set-up

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
render=$build/src/app/lumitra-render
cd "$work"
hyperfine -N --warmup 3 --runs "$runs" --export-markdown chart.md \
    -n "retardation chart, PNG" "$render --mineral quartz --chart chart.png" \
    -n "retardation chart, SVG" "$render --mineral quartz --chart chart.svg" \
    -n "retardation chart, PDF" "$render --mineral quartz --chart chart.pdf" \
    -n "birefringence chart, PNG" "$render --mineral quartz --chart chart.png --chart-kind birefringence"
cat chart.md
