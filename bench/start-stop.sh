#!/usr/bin/env bash
# Start and close of the real program under Xvfb, on a day of history
# (43,200 records of 30 columns in AutoSave.sav) and on none. Prints the
# medians of three runs: the start up to every window shown, the close from
# SIGTERM to the exit, and the resident memory once all windows show, on a
# screen of 1280 x 1024 (the main window's backing store grows with it).
#
#   bench/start-stop.sh [vantorel binary ...]     (default: build/vantorel)
#
# Several binaries (an older build beside a newer one) are measured in the
# same run, one after the other, on the same files.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/pakete.sh
installiere_pakete xvfb xauth x11-utils

BINS=("$@")
[ ${#BINS[@]} -eq 0 ] && BINS=(build/vantorel)
RUNS=${RUNS:-3}

WORK=$(mktemp -d)
XVFB_PID=""
cleanup() {
  if [ -n "$XVFB_PID" ]; then kill -TERM "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$WORK"
}
trap cleanup EXIT

for n in $(seq 150 199); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.05; done
  if [ -e "/tmp/.X11-unix/X$n" ]; then export DISPLAY=":$n"; break; fi
  kill "$XVFB_PID" 2>/dev/null || true; XVFB_PID=""
done
[ -n "$XVFB_PID" ] || { echo "start-stop.sh: no Xvfb display" >&2; exit 1; }
export QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$WORK/run"
mkdir -m 700 "$WORK/run"

# The data file: the header and one line just after the saved day.
HEADER=$(awk 'BEGIN { s = "Datum\tUhrzeit\tt2m  [°C  ]\trf   [%   ]";
                      for (c = 4; c < 30; c++) s = s sprintf("\tm%02d   [xx  ]", c); print s }')
printf '%s\n09.12.2026\t00:00:00\t5.0\t40' "$HEADER" > "$WORK/daten.txt"
for c in $(seq 4 29); do printf '\t1.25' >> "$WORK/daten.txt"; done
printf '\n' >> "$WORK/daten.txt"

# A day every two seconds, numbers written as the program writes them.
{ printf '%s\n' "$HEADER"
  awk 'BEGIN { for (i = 0; i < 43200; i++) {
         s = i * 2; line = sprintf("08.12.2026\t%02d:%02d:%02d", s / 3600, s / 60 % 60, s % 60)
         line = line "\t" sprintf("%.15g", 5.0 + (i % 100) * 0.1) "\t" (40 + i % 50)
         for (c = 4; c < 30; c++) line = line "\t" sprintf("%.15g", (i * 7 + c * 13) % 1000 * 0.25)
         gsub(/\./, ",", line); sub(/,/, ".", line); sub(/,/, ".", line); print line } }'
} > "$WORK/tag.sav"

now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# Windows of the program that show; the main window counts once it is viewable.
shown() {
  local tree main
  tree=$(xwininfo -root -children 2>/dev/null || true)
  main=$(awk '/"Vantorel": \(/ { print $1; exit }' <<<"$tree")
  local n
  n=$(grep -c '"GrundFenster"' <<<"$tree" || true)
  if [ -n "$main" ] && xwininfo -id "$main" 2>/dev/null | grep -q IsViewable; then n=$((n + 1)); fi
  echo "$n"
}

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

# One program folder per binary and case; the first start makes the
# configuration (one window per column and both clocks), kept for the runs.
prepare() {   # dir binary case
  local dir=$1 bin=$2 case=$3
  rm -rf "$dir"; mkdir -p "$dir"
  cp "$bin" "$dir/vantorel"
  cp "$WORK/daten.txt" "$dir/daten.txt"
  "$dir/vantorel" "$dir/daten.txt" >/dev/null 2>&1 &
  local pid=$! last=-1 same=0
  for _ in $(seq 200); do
    sleep 0.1
    local n; n=$(shown)
    if [ "$n" -eq "$last" ] && [ "$n" -gt 1 ]; then same=$((same + 1)); else same=0; fi
    last=$n
    [ $same -ge 10 ] && break
  done
  kill -TERM "$pid"; wait "$pid" || true
  rm -f "$dir/AutoSave.sav" "$dir/vantorel.log"
  cp "$dir/vantorel.ini" "$dir/ini.keep"
  echo "$last"
}

run_once() {   # dir case target -> "start_ms close_ms rss_kb rc"
  local dir=$1 case=$2 target=$3
  cp "$dir/ini.keep" "$dir/vantorel.ini"
  rm -f "$dir/AutoSave.sav" "$dir/vantorel.log"
  [ "$case" = tag ] && cp "$WORK/tag.sav" "$dir/AutoSave.sav"
  sync
  local t0; t0=$(now_ms)
  "$dir/vantorel" "$dir/daten.txt" >/dev/null 2>&1 &
  local pid=$! t1=""
  for _ in $(seq 3000); do
    if [ "$(shown)" -ge "$target" ]; then t1=$(now_ms); break; fi
  done
  [ -n "$t1" ] || t1=-1
  sleep 1
  local rss; rss=$(awk '/VmRSS/ { print $2 }' "/proc/$pid/status")
  local t2; t2=$(now_ms)
  kill -TERM "$pid"
  local rc=0; wait "$pid" || rc=$?
  local t3; t3=$(now_ms)
  echo "$((t1 - t0)) $((t3 - t2)) $rss $rc"
}

printf '%-28s %-5s %8s %8s %8s  %s\n' binary case start_ms close_ms rss_MB exit
for bin in "${BINS[@]}"; do
  bin=$(readlink -f "$bin")
  for case in leer tag; do
    dir="$WORK/p$(echo "$bin" | md5sum | cut -c1-6)-$case"
    target=$(prepare "$dir" "$bin" "$case")
    starts=() closes=() rsss=() rcs=""
    for _ in $(seq "$RUNS"); do
      read -r s c r rc < <(run_once "$dir" "$case" "$target")
      starts+=("$s"); closes+=("$c"); rsss+=("$r"); rcs="$rcs$rc "
    done
    printf '%-28s %-5s %8s %8s %8s  %s(%s windows)\n' "$(echo "$bin" | rev | cut -d/ -f1-3 | rev)" "$case" \
      "$(printf '%s\n' "${starts[@]}" | median)" "$(printf '%s\n' "${closes[@]}" | median)" \
      "$(printf '%s\n' "${rsss[@]}" | median | awk '{ printf "%.1f", $1 / 1024 }')" "$rcs" "$target"
  done
done
