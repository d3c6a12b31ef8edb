#!/usr/bin/env bash
# Configures and builds into build/ (or $ORVANTA_BUILD_DIR).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVANTA_BUILD_DIR:-$top/build}
cmake -S "$top" -B "$build" -G Ninja "$@"
cmake --build "$build" -j"$(nproc)"
