#!/usr/bin/env bash
# Cross-builds the Qt-free part of Orvanta for Windows with MinGW-w64 and runs its tests under Wine:
# every test but the hotkey ones without a display, the hotkey ones under the private desktop of
# scripts/platform-test-env.sh. Builds into $ORVANTA_BUILD_DIR-windows (default build-windows/); the
# template generator comes from the native build in $ORVANTA_BUILD_DIR (default build/).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
host_build=${ORVANTA_BUILD_DIR:-$top/build}
build=$host_build-windows
"$top/scripts/install-deps.sh"

"$top/scripts/windows-sqlite.sh" "$build/sqlite"
[ -f "$host_build/CMakeCache.txt" ] || cmake -S "$top" -B "$host_build" -G Ninja
cmake --build "$host_build" --target make_task_template
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw-w64-x86_64.cmake" \
  -DORVANTA_SQLITE_SOURCE_DIR="$build/sqlite" \
  -DORVANTA_HOST_TEMPLATE_TOOL="$host_build/buildtools/make_task_template" "$@"
cmake --build "$build" -j"$(nproc)"

WINEPREFIX=$(mktemp -d /tmp/orvanta-wine.XXXXXX)
export WINEPREFIX
trap 'rm -rf "$WINEPREFIX"' EXIT
(unset DISPLAY WAYLAND_DISPLAY
 "$top/scripts/windows-wine-run.sh" ctest --test-dir "$build" --output-on-failure -LE display --timeout 300)
"$top/scripts/platform-test-env.sh" "$top/scripts/windows-wine-run.sh" \
  ctest --test-dir "$build" --output-on-failure -L display --timeout 300
