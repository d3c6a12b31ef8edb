#!/usr/bin/env bash
# Runs one command with Wine ready for it: the prefix in $WINEPREFIX (made on first use), one long-lived
# wineserver for the whole command (so no test pays for starting one), and no crash dialog or debugger, so a
# crashing program fails instead of waiting for a click. The server is ended when the command ends; its exit
# status is returned. Usage: WINEPREFIX=... scripts/windows-wine-run.sh COMMAND [ARG...]
set -euo pipefail
: "${WINEPREFIX:?set WINEPREFIX to a private folder}"
export WINEDEBUG=-all WINEARCH=win64
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
mkdir -p "$WINEPREFIX"

wineserver -p
trap 'wineserver -k 2>/dev/null || true' EXIT
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$@"
