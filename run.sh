#!/usr/bin/env bash
# Installs what is missing (as root), builds, and starts Vantorel on the
# bundled sample data while a demo logger appends a record every 2 seconds.
# With a display it runs until you close it; without one it runs under Xvfb,
# saves a screenshot of the screen and ends.
set -euo pipefail
cd "$(dirname "$0")"

source tools/pakete.sh
installiere_pakete "${PAKETE[@]}"

BUILD=${BUILD_DIR:-build}
if [ ! -f src/shell/Vantorel.cpp ]; then
  echo "run.sh: the program's entry src/shell/Vantorel.cpp is missing, so there is no vantorel to start" >&2
  exit 1
fi
# The build's own output goes to a log; only a failure shows its end.
mkdir -p "$BUILD"
BUILD_LOG="$BUILD/run-build.log"
echo "Building vantorel in $BUILD ..."
if ! { cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build "$BUILD" -j"$(nproc)" --target vantorel DemoLogger Bildschirmfoto; } >"$BUILD_LOG" 2>&1; then
  tail -n 40 "$BUILD_LOG" >&2
  echo "run.sh: the build failed (whole output in $BUILD_LOG)" >&2
  exit 1
fi
if [ ! -x "$BUILD/vantorel" ]; then
  echo "run.sh: $BUILD/vantorel was not built" >&2
  exit 1
fi

# The program keeps its .ini, .log and AutoSave.sav beside itself, so it
# runs from a copy in a folder of its own; settings stay there between runs.
RUN="$(cd "$BUILD" && pwd)/run"
DATA="$RUN/Wetterstation.txt"
mkdir -p "$RUN"
cp --remove-destination "$BUILD/vantorel" "$RUN/vantorel"
rm -f "$DATA"
# The demonstration's windows come from the bundled configuration: always
# for the screenshot, and for a display only until the folder has settings
# of its own.
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] || [ ! -f "$RUN/vantorel.ini" ]; then
  cp examples/vantorel.ini "$RUN/vantorel.ini"
  rm -f "$RUN/AutoSave.sav"
fi

VANTOREL_PID=""
LOGGER_PID=""
XVFB_PID=""
stop() {   # pid: end it and wait for it
  if [ -n "$1" ] && kill -0 "$1" 2>/dev/null; then
    kill -TERM "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
  fi
}
cleanup() {
  stop "$VANTOREL_PID"
  stop "$LOGGER_PID"
  stop "$XVFB_PID"
}
trap cleanup EXIT
trap "exit 130" INT
trap "exit 143" TERM

"$BUILD/DemoLogger" examples/Wetterstation.txt "$DATA" --interval-ms 2000 &
LOGGER_PID=$!
# The logger writes the day's records in one go before it starts appending.
for _ in $(seq 100); do
  [ -f "$DATA" ] && break
  kill -0 "$LOGGER_PID" 2>/dev/null || { echo "run.sh: the demo logger ended early" >&2; exit 1; }
  sleep 0.1
done
[ -f "$DATA" ] || { echo "run.sh: the demo logger wrote no $DATA" >&2; exit 1; }
# The day the logger wrote before now is the history Vantorel would have
# saved had it been running: it starts with the whole day, not one record.
if [ ! -f "$RUN/AutoSave.sav" ]; then
  cp "$DATA" "$RUN/AutoSave.sav"
fi

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Vantorel is running on $DATA; close its main window (or press Ctrl+C) to end."
  status=0
  "$RUN/vantorel" "$DATA" || status=$?
  exit "$status"
fi

# No display: a virtual one on the first free display number.
DISPLAY_FILE="$RUN/xvfb.display"
rm -f "$DISPLAY_FILE"
Xvfb -displayfd 3 -screen 0 1600x900x24 -nolisten tcp 3>"$DISPLAY_FILE" >"$RUN/xvfb.log" 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do
  [ -s "$DISPLAY_FILE" ] && break
  kill -0 "$XVFB_PID" 2>/dev/null || { echo "run.sh: Xvfb did not start (see $RUN/xvfb.log)" >&2; exit 1; }
  sleep 0.1
done
[ -s "$DISPLAY_FILE" ] || { echo "run.sh: Xvfb did not start (see $RUN/xvfb.log)" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$DISPLAY_FILE")"
rm -f "$DISPLAY_FILE"
export QT_QPA_PLATFORM=xcb
unset WAYLAND_DISPLAY

"$RUN/vantorel" "$DATA" &
VANTOREL_PID=$!
# A few of the loader's 2-second ticks, so the windows show live values.
for _ in $(seq 8); do
  sleep 1
  if ! kill -0 "$VANTOREL_PID" 2>/dev/null; then
    status=0
    wait "$VANTOREL_PID" || status=$?
    VANTOREL_PID=""
    echo "run.sh: Vantorel ended on its own (exit code $status) before the screenshot" >&2
    exit 1
  fi
done

SHOT="$RUN/screenshot.png"
"$BUILD/Bildschirmfoto" "$SHOT"
echo "Screenshot: $SHOT"

# SIGTERM closes Vantorel as its own close command does (configuration,
# history file); give it time to write them.
kill -TERM "$VANTOREL_PID"
for _ in $(seq 150); do
  kill -0 "$VANTOREL_PID" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$VANTOREL_PID" 2>/dev/null; then
  kill -KILL "$VANTOREL_PID" 2>/dev/null || true
  wait "$VANTOREL_PID" 2>/dev/null || true
  VANTOREL_PID=""
  echo "run.sh: Vantorel did not end within 15 s of SIGTERM" >&2
  exit 1
fi
status=0
wait "$VANTOREL_PID" || status=$?
VANTOREL_PID=""
if [ "$status" -ne 0 ]; then
  echo "run.sh: Vantorel ended with exit code $status" >&2
  exit 1
fi
exit 0
