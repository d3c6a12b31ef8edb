#!/usr/bin/env bash
# Start-up time and memory of the real program, each printed beside its budget: against the floor (a bare
# Qt window with a tray icon, bench/floor_window) at 0 and 1,000 timed tasks, and alone at 86,400.
# Needs an X display with a tray host; run it in the test desktop:
#   scripts/platform-test-env.sh bench/app/measure_budgets.sh [BUILD_DIR]
# BUILD_DIR (default: build) must hold bin/orvanta and bin/orvantactl; FLOOR (default:
# BUILD_DIR/bench/floor_window) names the floor program. RUNS (default 7) starts per figure; the median
# counts. SIZES (default "0 1000 86400") the task counts.
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
PROGRAM=$BUILD/bin/orvanta
CTL=$BUILD/bin/orvantactl
FLOOR=${FLOOR:-$BUILD/bench/floor_window}
RUNS=${RUNS:-7}
SIZES=${SIZES:-0 1000 86400}
[ -n "${DISPLAY:-}" ] || { echo "no X display: run under scripts/platform-test-env.sh" >&2; exit 2; }

. "$(dirname "$0")/private_home.sh"
DB=$DATA/task.db

# COUNT timed tasks of every kind, some repeating, some disabled, texts hex-encoded as the program
# stores them; written in one statement.
seed() {
  rm -f "$DB"
  "$CTL" --data-dir "$DATA" add --title seed --trigger daily --start 9:00 --launch /bin/true >/dev/null
  sqlite3 "$DB" <<SQL
DELETE FROM tasklist;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $1)
INSERT INTO tasklist (Enabled, Title, DateMode, Year, Month, Day, Sun, Mon, Tue, Wed, Thu, Fri, Sat, Time,
                      Loop, EndTime, Hotkey1, Hotkey2, hkLoop, Countdown, Event, Macro, Launch, Terminate,
                      OpenFile, OpenURL, Message, Last)
SELECT i % 10 != 0, hex('Task number ' || i), i % 5 + 1, 2024 + i % 3, i % 12 + 1, i % 28 + 1,
       i % 2, i / 2 % 2, 0, i / 4 % 2, 0, i / 8 % 2, 0,
       hex((i % 24) || ':' || printf('%02d', 10 + i % 50) || ':00'), CASE WHEN i % 4 = 0 THEN 30 ELSE 0 END,
       hex('23:59:59'), 0, 0, 0, 0, 0, '', hex('/usr/bin/true | --flag'), '', '', '',
       hex('Reminder text for the task'), 1500000000 + i
FROM n WHERE $1 > 0;
SQL
}

now_ns() { date +%s%N; }

# Starts COMMAND, waits for its window titled TITLE; sets PID and SHOWN_MS.
start_and_wait() {
  local title=$1 start end
  shift
  start=$(now_ns)
  "$@" >/dev/null 2>&1 &
  PID=$!
  until xdotool search --all --onlyvisible --pid "$PID" --name "^$title\$" >/dev/null 2>&1; do sleep 0.005; done
  end=$(now_ns)
  SHOWN_MS=$(((end - start) / 1000000))
}
stop() { kill "$PID"; wait "$PID" 2>/dev/null || true; PID=; }
median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }
rss_kb() { awk '/VmRSS/ {print $2}' "/proc/$PID/status"; }

# Sets MS (median exec to window) and KB (median resident memory 3 s after start) of RUNS starts.
measure() {
  local title=$1 times=() sizes=()
  shift
  for _ in $(seq "$RUNS"); do
    start_and_wait "$title" "$@"
    times+=("$SHOWN_MS")
    sleep 3
    sizes+=("$(rss_kb)")
    stop
  done
  MS=$(median "${times[@]}")
  KB=$(median "${sizes[@]}")
  echo "  $title: exec to window ${times[*]} ms (median $MS), RSS ${sizes[*]} kB (median $KB)"
}

ratio() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.2f", a / b}'; }
verdict() { awk -v v="$1" -v limit="$2" 'BEGIN {print (v <= limit ? "within" : "OVER")}'; }

echo "load before: $(cut -d' ' -f1-3 /proc/loadavg); $RUNS starts per figure, medians"
for size in $SIZES; do
  seed "$size"
  echo "$size timed tasks (orvantactl list prints $("$CTL" --data-dir "$DATA" list | wc -l) lines):"
  measure Orvanta "$PROGRAM"
  ms=$MS kb=$KB
  if [ "$size" -le 1000 ]; then
    measure Floor "$FLOOR"
    r=$(ratio "$ms" "$MS")
    echo "  exec to window: $ms ms against the floor's $MS ms = $r (budget at most 1.3: $(verdict "$r" 1.3))"
    r=$(ratio "$kb" "$KB")
    echo "  RSS: $kb kB against the floor's $KB kB = $r (budget at most 1.15: $(verdict "$r" 1.15))"
  else
    echo "  start to window: $ms ms (budget at most 200 ms: $(verdict "$ms" 200))"
    mb=$(awk -v k="$kb" 'BEGIN {printf "%.1f", k / 1024}')
    echo "  RSS after start: $mb MB (budget at most 150 MB: $(verdict "$mb" 150))"
  fi
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
