#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvanta on the current desktop.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVANTA_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" >/dev/null
exec "$build/bin/orvanta" "$@"
