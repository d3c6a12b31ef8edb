# Sourced by the benchmarks of the real program: a throw-away home with the program's data folder and a
# settings file that skips the first-run window, and an exit trap that ends the program ($PID, once
# started) and removes the home. Sets HOME_DIR and DATA.
HOME_DIR=$(mktemp -d /tmp/orvanta-bench.XXXXXX)
PID=
cleanup() {
  if [ -n "$PID" ]; then kill "$PID" 2>/dev/null || true; wait "$PID" 2>/dev/null || true; fi
  rm -rf "$HOME_DIR"
}
trap cleanup EXIT

export HOME=$HOME_DIR XDG_DATA_HOME=$HOME_DIR/data XDG_CONFIG_HOME=$HOME_DIR/config XDG_RUNTIME_DIR=$HOME_DIR/run
mkdir -p "$XDG_DATA_HOME/Orvanta" "$XDG_CONFIG_HOME"
mkdir -m 700 "$XDG_RUNTIME_DIR"
DATA=$XDG_DATA_HOME/Orvanta
printf '[Option]\nmfirst=0\n' >"$DATA/wake.ini"
