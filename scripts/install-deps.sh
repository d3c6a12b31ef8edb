#!/usr/bin/env bash
# Installs every Debian package Orvanta's build, tests, benchmarks and fuzzers need. Safe to run again.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config git ccache
  # core
  libsqlite3-dev sqlite3
  # GUI and platform
  qt6-base-dev libx11-dev libxtst-dev libxext-dev libxss-dev libxfixes-dev libsystemd-dev
  # a native window on a Wayland desktop (without it the toolkit falls back to XWayland)
  qt6-wayland
  # the macro hook library sends its messages over xcb
  libxcb1-dev
  # the toolkit's own dialogs in the chosen language
  qt6-translations-l10n
  # tests, benchmarks, fuzzing
  googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev clang-format
  xvfb xdotool xclip trayer dbus python3-dbusmock faketime
  # the run-history tests start a journald of their own where none runs
  systemd
  # the desktop's lock-on-resume switch: gsettings and the GNOME schemas
  libglib2.0-bin gsettings-desktop-schemas
  hyperfine
  # the desktop files: icons drawn at build time, and the validators of the entry, metainfo and man pages
  librsvg2-bin desktop-file-utils appstream mandoc man-db
  libcap2-bin
  # the Debian package: its library dependencies, and the check of the finished package
  dpkg-dev file lintian
  # Windows cross-build and its tests (SQLite's amalgamation is generated with tclsh)
  mingw-w64 wine wine64 tcl patch xz-utils
)

# A real Wayland desktop for one end-to-end test: KWin without a screen and KDE's desktop portals. Without
# their recommendations, which would bring a whole Plasma desktop.
desktop_packages=(kwin-wayland xdg-desktop-portal xdg-desktop-portal-kde qtwayland5 python3-gi)

missing_of() {
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_desktop < <(missing_of "${desktop_packages[@]}")
if [ ${#missing[@]} -eq 0 ] && [ ${#missing_desktop[@]} -eq 0 ]; then
  echo "install-deps: everything is installed"
  exit 0
fi

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
echo "install-deps: installing ${missing[*]} ${missing_desktop[*]}"
"${sudo_cmd[@]}" apt-get update -q
if [ ${#missing[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q "${missing[@]}"
fi
if [ ${#missing_desktop[@]} -gt 0 ]; then
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing_desktop[@]}"
fi
