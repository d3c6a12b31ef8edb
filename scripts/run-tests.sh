#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test label.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVANTA_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
cd "$build"
ctest --output-on-failure -j"$(nproc)" --timeout 300
