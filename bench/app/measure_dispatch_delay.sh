#!/usr/bin/env bash
# Delay from a timed task's due second to the start of its program, over FIRINGS firings of the real
# program. Each task launches start_marker, which notes its own start on the wall clock; the delay is that
# moment minus the due second (the waiter's firing, the hand-over to the window and the launch together).
# Needs an X display; run it in the test desktop:
#   scripts/platform-test-env.sh bench/app/measure_dispatch_delay.sh [BUILD_DIR]
# BUILD_DIR (default: build) must hold bin/orvanta, bin/orvantactl and bench/start_marker.
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
PROGRAM=$BUILD/bin/orvanta
CTL=$BUILD/bin/orvantactl
MARKER=$BUILD/bench/start_marker
FIRINGS=${FIRINGS:-20}
SPACING=${SPACING:-3}        # seconds between two due moments
LEAD=${LEAD:-8}              # seconds from now to the first one, time for the program to start
[ -n "${DISPLAY:-}" ] || { echo "no X display: run under scripts/platform-test-env.sh" >&2; exit 2; }
for f in "$PROGRAM" "$CTL" "$MARKER"; do [ -x "$f" ] || { echo "missing $f" >&2; exit 2; }; done

. "$(dirname "$0")/private_home.sh"
STARTS=$HOME_DIR/starts

first=$(($(date +%s) + LEAD))
for i in $(seq 0 $((FIRINGS - 1))); do
  due=$((first + i * SPACING))
  # The label is the due second itself, so each line of the marker file carries its own reference.
  "$CTL" --data-dir "$DATA" add --title "delay $i" --trigger once --date "$(date -d "@$due" +%F)" \
    --start "$(date -d "@$due" +%-H:%M:%S)" --launch "$MARKER" --params "$STARTS $due" >/dev/null
done
last=$((first + (FIRINGS - 1) * SPACING))

"$PROGRAM" >/dev/null 2>&1 &
PID=$!
until [ "$(date +%s)" -gt $((last + 5)) ]; do
  [ -f "$STARTS" ] && [ "$(wc -l <"$STARTS")" -ge "$FIRINGS" ] && break
  sleep 0.5
done
kill -0 "$PID" 2>/dev/null || { echo "the program ended early" >&2; exit 1; }
fired=$( [ -f "$STARTS" ] && wc -l <"$STARTS" || echo 0)
echo "firings: $fired of $FIRINGS"
[ "$fired" -gt 0 ] || exit 1

# Delay in milliseconds per firing, in firing order, then sorted for the median and the worst.
delays=$(awk '{ printf "%.1f\n", ($1 - $2) * 1000 }' "$STARTS")
echo "delays (ms, in order): $(echo "$delays" | tr '\n' ' ')"
sorted=$(echo "$delays" | sort -g)
count=$(echo "$sorted" | wc -l)
median=$(echo "$sorted" | awk -v n="$count" '{ v[NR] = $1 } END { print (n % 2) ? v[(n + 1) / 2] : (v[n / 2] + v[n / 2 + 1]) / 2 }')
echo "median: $median ms; best: $(echo "$sorted" | head -1) ms; worst: $(echo "$sorted" | tail -1) ms"
[ "$fired" -eq "$FIRINGS" ] || { echo "some tasks did not fire" >&2; exit 1; }
