#!/usr/bin/env bash
# Runs one command inside a private desktop made for the platform and GUI tests:
#   - Xvfb on a free display number,
#   - a private dbus-daemon whose address is exported as both the session and the system bus,
#   - a mock logind (python3-dbusmock's logind template) owning org.freedesktop.login1 on that bus,
#   - trayer as the notification-area host,
#   - a systemd-journald of its own where none runs (the run history is kept in the journal).
# Every process started here is ended by its PID when the command ends; the command's exit status is
# returned. Usage: scripts/platform-test-env.sh COMMAND [ARG...]
set -euo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARG...]" >&2
  exit 2
fi

# Without a journald of the machine's, the journald of the tests needs its own /run/systemd/journal and
# /run/log: so root starts the whole environment again in a mount namespace of its own, where those
# folders are private and vanish with it, and the machine's /run is left as it was.
JOURNALD=/lib/systemd/systemd-journald
if [ ! -S /run/systemd/journal/socket ] && [ -z "${ORVANTA_PRIVATE_JOURNAL:-}" ] && [ "$(id -u)" -eq 0 ] &&
  [ -x "$JOURNALD" ] && [ -d /run/systemd ] && [ -d /run/log ] && command -v unshare >/dev/null &&
  unshare --mount true 2>/dev/null; then
  export ORVANTA_PRIVATE_JOURNAL=1
  exec unshare --mount --propagation private "$0" "$@"
fi

# Debian's interpreter, which has the dbusmock module, whatever python3 comes first on PATH.
PYTHON=/usr/bin/python3

WORK=$(mktemp -d /tmp/orvanta-testenv.XXXXXX)
PIDS=()

stop_pid() {
  local pid=$1
  kill "$pid" 2>/dev/null || return 0
  for _ in $(seq 50); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

cleanup() {
  local i
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do stop_pid "${PIDS[i]}"; done
  rm -rf "$WORK"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

fail() {
  echo "platform-test-env: $*" >&2
  for log in "$WORK"/*.log; do [ -s "$log" ] && { echo "--- $log" >&2; tail -20 "$log" >&2; }; done
  exit 1
}

# The private desktop is an X11 session, whatever session the tests are started from.
export XDG_SESSION_TYPE=x11
unset WAYLAND_DISPLAY
export XDG_RUNTIME_DIR="$WORK/xdg"
mkdir -m 700 "$XDG_RUNTIME_DIR"
export QT_ACCESSIBILITY=0 NO_AT_BRIDGE=1

# 1) Xvfb on a free display; it writes the number to the descriptor once it accepts clients.
exec {display_fd}>"$WORK/display"
Xvfb -displayfd "$display_fd" -screen 0 1280x800x24 -nolisten tcp -noreset >"$WORK/xvfb.log" 2>&1 &
PIDS+=($!)
exec {display_fd}>&-
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
[ -s "$WORK/display" ] || fail "Xvfb did not start"
export DISPLAY=":$(head -1 "$WORK/display")"

# 2) A private bus without service activation, standing in for both buses.
cat >"$WORK/bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$WORK</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
bus_address=$(dbus-daemon --config-file="$WORK/bus.conf" --fork --print-address=1 --print-pid=3 \
  3>"$WORK/dbus.pid" 2>"$WORK/dbus.log") || fail "dbus-daemon did not start"
PIDS+=("$(cat "$WORK/dbus.pid")")
export DBUS_SESSION_BUS_ADDRESS="$bus_address" DBUS_SYSTEM_BUS_ADDRESS="$bus_address"

# 3) The mock logind; ready once it owns its name.
"$PYTHON" -m dbusmock --template logind >"$WORK/logind.log" 2>&1 &
PIDS+=($!)
logind_up() {
  local answer
  answer=$(dbus-send --bus="$bus_address" --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.login1 2>/dev/null) || return 1
  [[ $answer == *"boolean true"* ]]
}
for _ in $(seq 100); do logind_up && break; sleep 0.1; done
logind_up || fail "the mock logind did not take its name"

# 4) The tray host; ready once its window exists.
trayer --edge top --align right --widthtype request --height 32 --SetDockType true >"$WORK/trayer.log" 2>&1 &
PIDS+=($!)
for _ in $(seq 50); do xdotool search --class trayer >/dev/null 2>&1 && break; sleep 0.1; done

# 5) The journald, inside the private mount namespace made above: a copy of /run/systemd with a journal
# folder of its own, an empty /run/log for the volatile journal files, and an empty /var/log/journal
# where one exists, so nothing is written to the machine's journal files.
if [ "${ORVANTA_PRIVATE_JOURNAL:-}" = 1 ] && [ ! -S /run/systemd/journal/socket ]; then
  mkdir -p "$WORK/run-systemd" "$WORK/run-log" "$WORK/var-log-journal"
  cp -a /run/systemd/. "$WORK/run-systemd/"
  mkdir -p "$WORK/run-systemd/journal"
  mount --bind "$WORK/run-systemd" /run/systemd || fail "cannot mount the journal's /run/systemd"
  mount --bind "$WORK/run-log" /run/log || fail "cannot mount the journal's /run/log"
  if [ -d /var/log/journal ]; then mount --bind "$WORK/var-log-journal" /var/log/journal || fail "cannot mount /var/log/journal"; fi
  # Its own messages go to its log file, not to the kernel's log, which the machine shares. It runs as
  # root, so it is started without the audit capabilities: it would otherwise switch the kernel's auditing
  # on for the whole machine, and with them gone that call is refused and it goes on without. In a network
  # namespace of its own it gets no audit records either; its sockets are files, which the tests reach
  # from here all the same.
  SYSTEMD_LOG_TARGET=console unshare --net setpriv --bounding-set -audit_control,-audit_read,-audit_write \
    "$JOURNALD" >"$WORK/journald.log" 2>&1 &
  PIDS+=($!)
  for _ in $(seq 100); do [ -S /run/systemd/journal/socket ] && break; sleep 0.1; done
  [ -S /run/systemd/journal/socket ] || fail "systemd-journald did not start"
  export ORVANTA_TEST_JOURNAL=private
fi

# Tests read this to tell a missing resource that they may skip for from a broken environment.
export ORVANTA_TEST_ENV=1

set +e
"$@"
status=$?
set -e
exit "$status"
