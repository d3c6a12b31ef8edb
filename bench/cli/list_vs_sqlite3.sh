#!/usr/bin/env bash
# `orvantactl list` over a task.db of 86,400 timed tasks against sqlite3 printing the same rows of the
# same file (the query the list is read with), both timed by hyperfine in one run.
#   bench/cli/list_vs_sqlite3.sh [BUILD_DIR]      (BUILD_DIR, default build, must hold bin/orvantactl)
# TASKS and RUNS (defaults 86400 and 10) change the size and the number of timed runs.
set -euo pipefail

BUILD=$(cd "${1:-build}" && pwd)
CTL=$BUILD/bin/orvantactl
TASKS=${TASKS:-86400}
RUNS=${RUNS:-10}
NOW="2025-03-05 12:00:00"
QUERY="SELECT * FROM tasklist WHERE DateMode != 0 ORDER BY Last;"

DIR=$(mktemp -d /tmp/orvanta-list-bench.XXXXXX)
trap 'rm -rf "$DIR"' EXIT
DB=$DIR/task.db

# The program makes the file and its table; the tasks are then written in one statement, every kind,
# some repeating, some disabled, with hex-encoded texts as the program stores them.
"$CTL" --data-dir "$DIR" add --title seed --trigger daily --start 9:00 --launch /bin/true >/dev/null
sqlite3 "$DB" <<SQL
DELETE FROM tasklist;
WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < $TASKS)
INSERT INTO tasklist (Enabled, Title, DateMode, Year, Month, Day, Sun, Mon, Tue, Wed, Thu, Fri, Sat, Time,
                      Loop, EndTime, Hotkey1, Hotkey2, hkLoop, Countdown, Event, Macro, Launch, Terminate,
                      OpenFile, OpenURL, Message, Last)
SELECT i % 10 != 0, hex('Task number ' || i), i % 5 + 1, 2024 + i % 3, i % 12 + 1, i % 31 + 1,
       i % 2, i / 2 % 2, 0, i / 4 % 2, 0, i / 8 % 2, 0,
       hex((i % 24) || ':' || printf('%02d', 10 + i % 50) || ':00'), CASE WHEN i % 4 = 0 THEN 30 ELSE 0 END,
       hex('23:59:59'), 0, 0, 0, 0, i % 10, '', hex('/usr/bin/true | --flag'), '', '', '',
       hex('Reminder text for the task'), 1500000000 + (i * 7919) % $TASKS
FROM n;
SQL

listed=$("$CTL" --data-dir "$DIR" --now "$NOW" list | wc -l)
printed=$(sqlite3 "$DB" "$QUERY" | wc -l)
echo "lines: orvantactl list $listed, sqlite3 $printed"
[ "$listed" -eq "$TASKS" ] && [ "$printed" -eq "$TASKS" ] || { echo "the two do not print every task" >&2; exit 1; }

hyperfine -N --warmup 1 --runs "$RUNS" --export-json "$DIR/times.json" \
  -n "orvantactl list" "$CTL --data-dir $DIR --now '$NOW' list" \
  -n "sqlite3" "sqlite3 $DB '$QUERY'"
python3 - "$DIR/times.json" <<'PY'
import json, sys
results = {r["command"]: r for r in json.load(open(sys.argv[1]))["results"]}
ctl, sql = results["orvantactl list"], results["sqlite3"]
print("orvantactl list / sqlite3: mean %.2f, median %.2f (goal: at most 1.5)"
      % (ctl["mean"] / sql["mean"], ctl["median"] / sql["median"]))
PY
