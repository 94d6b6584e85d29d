#!/usr/bin/env bash
# Runs every fuzz target long, one after the other, at low priority, and
# prints a line per target: seconds, executions, corpus size, and what it
# found (the crash files are left in BUILD_DIR/fuzz-clang/trovati/<target>).
# Not part of ./test, which runs each target for 15 s.
#
#   bench/fuzz.sh [SECONDS] [BUILD_DIR] [TARGET...]   (default: 300 s each, build)
set -uo pipefail

radice=$(cd "$(dirname "$0")/.." && pwd)
secondi=${1:-300}
build=$(cd "${2:-$radice/build}" && pwd)
shift $(($# > 2 ? 2 : $#))
obiettivi=("$@")
if ((${#obiettivi[@]} == 0)); then
  for f in "$build"/fuzz-clang/fuzz/fuzz_*; do obiettivi+=("${f##*/fuzz_}"); done
fi
[[ -x "$build/fuzz-clang/fuzz/fuzz_${obiettivi[0]}" ]] ||
  { echo "no fuzz targets in $build/fuzz-clang: build first (needs clang)" >&2; exit 1; }

esito=0
for t in "${obiettivi[@]}"; do
  lavoro="$build/fuzz-clang/trovati/$t"
  registro="$lavoro/ultimo.log"
  mkdir -p "$lavoro"
  nice -n 19 "$radice/fuzz/esegui.sh" "$build/fuzz-clang/fuzz/fuzz_$t" "$radice/fuzz/corpus/$t" "$lavoro" "$secondi" \
    >"$registro" 2>&1
  rc=$?
  esecuzioni=$(sed -n 's/^stat::number_of_executed_units: *//p' "$registro")
  durata=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$registro")
  corpus=$(find "$lavoro/corpus" -type f | wc -l)
  trovato=$(grep -m1 -E 'ERROR: |runtime error:' "$registro" | cut -c1-160)
  printf '%-20s %5ss %12s execs %8s/s %6s inputs  %s\n' "$t" "$secondi" "${esecuzioni:-?}" "${durata:-?}" \
    "$corpus" "${trovato:-nothing found}"
  ((rc == 0)) || esito=1
done
exit $esito
