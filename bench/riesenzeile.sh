#!/usr/bin/env bash
# A logger that never ends its last line: the real program under Xvfb on a
# small station, first with a normal last line, then with 50 MB appended
# without a line end. Prints, per binary, the resident memory (now and its
# peak) and the CPU time over ten 1-second ticks in both states.
#
#   bench/riesenzeile.sh [vantorel binary ...]     (default: build/vantorel)
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/pakete.sh
installiere_pakete xvfb xauth

BINS=("$@")
[ ${#BINS[@]} -eq 0 ] && BINS=(build/vantorel)

WORK=$(mktemp -d)
XVFB_PID=""
PID=""
cleanup() {
  [ -n "$PID" ] && kill -KILL "$PID" 2>/dev/null || true
  if [ -n "$XVFB_PID" ]; then kill -TERM "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.05; done
[ -s "$WORK/display" ] || { echo "riesenzeile.sh: no Xvfb display" >&2; exit 1; }
export DISPLAY=":$(head -n 1 "$WORK/display")" QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$WORK/run"
mkdir -m 700 "$WORK/run"

kib() { awk -v k="$2" '$1 == k":" { print $2 }' "/proc/$1/status"; }
cpu_ms() { awk -v hz="$(getconf CLK_TCK)" '{ print ($14 + $15) * 1000 / hz }' "/proc/$1/stat"; }
state() {   # label: memory now and at its peak, CPU over the next 10 s
  local c0 c1
  c0=$(cpu_ms "$PID"); sleep 10; c1=$(cpu_ms "$PID")
  printf '  %-22s RSS %7d KiB   peak %7d KiB   CPU %6.0f ms / 10 ticks\n' "$1" \
    "$(kib "$PID" VmRSS)" "$(kib "$PID" VmHWM)" "$(awk -v a="$c0" -v b="$c1" 'BEGIN { print b - a }')"
}

for bin in "${BINS[@]}"; do
  dir="$WORK/prog"; rm -rf "$dir"; mkdir -p "$dir"
  cp "$bin" "$dir/vantorel"
  printf '[Global]\nInterval=1000\n' > "$dir/vantorel.ini"
  printf 'Datum\tUhrzeit\tt2m  [°C  ]\trf   [%%   ]\tp    [hPa ]\n09.12.2026\t05:00:00\t5.5\t80\t1013.2\n' > "$dir/daten.txt"
  "$dir/vantorel" "$dir/daten.txt" >/dev/null 2>&1 &
  PID=$!
  sleep 6
  echo "$bin"
  state "normal last line"
  printf '09.12.2026\t05:01:00\t' >> "$dir/daten.txt"
  head -c $((50 * 1024 * 1024)) /dev/zero | tr '\0' '7' >> "$dir/daten.txt"
  state "50 MB last line"
  kill -TERM "$PID"; wait "$PID" 2>/dev/null || true; PID=""
done
