#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer, and fuzzes each for a while.
#
#   tools/fuzz.sh [seconds per target] [target ...]     (default: 60, all)
#
# FUZZ_JOBS (default 1) runs that many fuzzing processes on one target.
# Each target starts from its corpus in git and works on a copy of it under
# build-fuzz/; a finding stops that target and is left in build-fuzz/funde/
# (add it to tests/fuzz/reproducers/<target>/ once it is mended). At the end
# the executions of each target are printed.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/pakete.sh
installiere_pakete "${PAKETE[@]}" clang libclang-rt-14-dev

SEKUNDEN=${1:-60}
shift || true
ZIELE=("$@")
[ ${#ZIELE[@]} -eq 0 ] && ZIELE=($(cd tests/fuzz && ls Fuzz*.cpp | sed 's/\.cpp$//'))

BUILD=${BUILD_DIR:-build-fuzz}
SAN="-fsanitize=address,undefined -fno-sanitize=vptr -fno-sanitize-recover=undefined -fno-omit-frame-pointer"
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVANTOREL_FUZZ=ON -DVANTOREL_TESTS=OFF -DVANTOREL_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$SAN -fsanitize=fuzzer-no-link" \
  -DCMAKE_EXE_LINKER_FLAGS="$SAN" >/dev/null
cmake --build "$BUILD" -j4 --target "${ZIELE[@]}"

mkdir -p "$BUILD/funde"
# Scratch files in memory where possible; gone afterwards, findings or not.
VANTOREL_FUZZ_DIR=$(mktemp -d -p "$( [ -w /dev/shm ] && echo /dev/shm || echo "${TMPDIR:-/tmp}")" vantorel-fuzz.XXXXXX)
export VANTOREL_FUZZ_DIR
trap 'rm -rf "$VANTOREL_FUZZ_DIR"' EXIT
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
ergebnis=0
for ziel in "${ZIELE[@]}"; do
  arbeit="$PWD/$BUILD/corpus/$ziel"
  mkdir -p "$arbeit"
  cp -n tests/fuzz/corpus/"$ziel"/* "$arbeit"/ 2>/dev/null || true
  # With FUZZ_JOBS > 1, that many independent processes share the corpus;
  # their executions are added up.
  jobs=${FUZZ_JOBS:-1}
  protokolle="$PWD/$BUILD/protokoll/$ziel"
  rm -rf "$protokolle"; mkdir -p "$protokolle"
  gemeinsam=(-max_total_time="$SEKUNDEN" -timeout=10 -rss_limit_mb=4096 -max_len="${FUZZ_MAX_LEN:-8192}"
             -artifact_prefix="$PWD/$BUILD/funde/$ziel-" -print_final_stats=1)
  befund="ohne Befund"
  if [ "$jobs" -gt 1 ]; then
    (cd "$protokolle" && "$OLDPWD/$BUILD/$ziel" -jobs="$jobs" -workers="$jobs" "${gemeinsam[@]}" \
       "$arbeit" "$OLDPWD/tests/fuzz/reproducers/$ziel" >"$protokolle/haupt.log" 2>&1) || true
  else
    "$BUILD/$ziel" "${gemeinsam[@]}" "$arbeit" "$PWD/tests/fuzz/reproducers/$ziel" >"$protokolle/fuzz-0.log" 2>&1 || true
  fi
  if grep -qE "ERROR: libFuzzer|invariant broken|SUMMARY: .*Sanitizer" "$protokolle"/*.log; then
    befund="BEFUND, siehe $protokolle"
    ergebnis=1
  fi
  runs=0
  for log in "$protokolle"/fuzz-*.log; do
    n=$(grep -o 'stat::number_of_executed_units: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*$' || true)
    [ -n "$n" ] || n=$(grep -o '^#[0-9]*' "$log" | tail -1 | tr -d '#')
    runs=$((runs + ${n:-0}))
  done
  printf '%-20s %12s Ausführungen in %ss mit %s Prozess(en), %s\n' "$ziel" "$runs" "$SEKUNDEN" "$jobs" "$befund"
done
exit $ergebnis
