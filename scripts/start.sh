#!/usr/bin/env bash
# Installs what is missing, builds, and starts Orvanta. Until the main window lands this is the
# command-line companion; arguments are passed on (default: show the first template task).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVANTA_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" >/dev/null
if [ $# -eq 0 ]; then set -- show 1; fi
exec "$build/bin/orvantactl" "$@"
