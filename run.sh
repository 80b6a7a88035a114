#!/usr/bin/env bash
# Sets up, builds and starts Lumitra.
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
"$top/scripts/setup.sh" build
exec "$top/build/src/app/lumitra" "$@"
