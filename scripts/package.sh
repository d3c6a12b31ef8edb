#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package build/orvanta_<version>_<arch>.deb
# (or in $ORVANTA_BUILD_DIR). Install it with: apt install ./build/orvanta_*.deb
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${ORVANTA_BUILD_DIR:-$top/build}
"$top/scripts/install-deps.sh"
"$top/scripts/build.sh" >/dev/null
# An older package of another version would be picked up by the README's "orvanta_*.deb" as well.
rm -f "$build"/orvanta_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
ls "$build"/orvanta_*.deb
