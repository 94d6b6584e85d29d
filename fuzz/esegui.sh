#!/usr/bin/env bash
# esegui.sh FUZZER SEEDS WORKDIR SECONDS [libFuzzer options...]
# Runs one fuzz target from its committed seeds for SECONDS. New inputs go
# to WORKDIR/corpus (the seeds are never written), a crash to WORKDIR.
# Exit 0 when nothing was found, 1 when something was, 125 when the
# target is not built.
set -euo pipefail
fuzzer=$1 semi=$2 lavoro=$3 secondi=$4
shift 4
if [[ ! -x $fuzzer ]]; then
  echo "$fuzzer is not built: cmake --build build --target fuzz" >&2
  exit 125
fi
mkdir -p "$lavoro/corpus"
cd "$lavoro"
# stderr of the code under test is closed (the install log falls back to
# it); libFuzzer's and the sanitizers' reports still come through.
exec "$fuzzer" -max_total_time="$secondi" -timeout=10 -rss_limit_mb=2048 -max_len=65536 \
  -error_exitcode=1 -timeout_exitcode=1 -close_fd_mask=2 -print_final_stats=1 -artifact_prefix="$lavoro/" "$@" "$lavoro/corpus" "$semi"
