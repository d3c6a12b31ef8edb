#!/usr/bin/env bash
# Installs what is missing, builds, runs every test label, then checks the sources' format.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVANTA_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh"
# Every label runs inside the private desktop (display, buses, mock logind, tray host) the platform,
# GUI and end-to-end tests need; the unit tests don't mind it.
"$top/scripts/platform-test-env.sh" ctest --test-dir "$build" --output-on-failure -j"$(nproc)" --timeout 300
# The core and the Windows backend, cross-built with MinGW-w64 and run under Wine.
"$top/scripts/windows-tests.sh"
# Last, so that a formatting slip still shows every test result first.
"$top/scripts/check-format.sh"
