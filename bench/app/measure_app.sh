#!/usr/bin/env bash
# Start-up time, memory and idle processor use of the real program with 1,000 timed tasks.
# Needs an X display with a tray host; run it in the test desktop:
#   scripts/platform-test-env.sh bench/app/measure_app.sh [BUILD_DIR]
# BUILD_DIR (default: build) must hold bin/orvanta and bin/orvantactl.
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
PROGRAM=$BUILD/bin/orvanta
CTL=$BUILD/bin/orvantactl
RUNS=${RUNS:-5}
IDLE_SECONDS=${IDLE_SECONDS:-60}
[ -n "${DISPLAY:-}" ] || { echo "no X display: run under scripts/platform-test-env.sh" >&2; exit 2; }

. "$(dirname "$0")/private_home.sh"

echo "seeding 1000 timed tasks..."
kinds=(daily weekly monthly once annually)
for i in $(seq 0 999); do
  kind=${kinds[$((i % 5))]}
  args=(--title "task $i" --trigger "$kind" --start "$((i % 24)):$(printf %02d $((i % 60)))" --launch /bin/true)
  case $kind in
    weekly) args+=(--days mon,wed,fri) ;;
    monthly) args+=(--date $((i % 28 + 1))) ;;
    once) args+=(--date "$(date -d "+$((i % 400)) days" +%F)") ;;
    annually) args+=(--date "$(printf '%02d-%02d' $((i % 12 + 1)) $((i % 28 + 1)))") ;;
  esac
  "$CTL" --data-dir "$DATA" add "${args[@]}" >/dev/null
done
echo "tasks in the list: $("$CTL" --data-dir "$DATA" list | wc -l)"

now_ns() { date +%s%N; }

# Starts the program and sets PID and SHOWN_MS, the time from the start to its window being mapped.
start_and_wait_for_window() {
  local start end
  start=$(now_ns)
  "$PROGRAM" >/dev/null 2>&1 &
  PID=$!
  until xdotool search --all --onlyvisible --pid "$PID" --name '^Orvanta$' >/dev/null 2>&1; do sleep 0.005; done
  end=$(now_ns)
  SHOWN_MS=$(((end - start) / 1000000))
}

stop_program() {
  kill "$PID"; wait "$PID" 2>/dev/null || true; PID=
}

times=()
for run in $(seq "$RUNS"); do
  start_and_wait_for_window
  times+=("$SHOWN_MS")
  stop_program
done
sorted=$(printf '%s\n' "${times[@]}" | sort -n | tr '\n' ' ')
echo "exec to window shown (ms, $RUNS runs, in order): ${times[*]}; sorted: $sorted"
echo "median: $(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((RUNS + 1) / 2))p") ms"

start_and_wait_for_window
sleep 3
echo "resident memory 3 s after start: $(awk '/VmRSS/ {print $2, $3}' "/proc/$PID/status")"

ticks() { awk '{print $14 + $15}' "/proc/$PID/stat"; }
hz=$(getconf CLK_TCK)
before=$(ticks)
sleep "$IDLE_SECONDS"
after=$(ticks)
echo "processor time used in $IDLE_SECONDS idle seconds: $(awk -v t=$((after - before)) -v hz="$hz" 'BEGIN {printf "%.2f", t / hz}') s"
echo "resident memory after the idle time: $(awk '/VmRSS/ {print $2, $3}' "/proc/$PID/status")"
