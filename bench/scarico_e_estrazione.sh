#!/usr/bin/env bash
# Downloader against curl, extractor against Info-ZIP's unzip, in the same
# run on this machine. Not part of ./test.
#
#   bench/scarico_e_estrazione.sh [BUILD_DIR]      (default: build)
#
# Downloader: a 256 MiB file from noce-server on 127.0.0.1, saved to disk by
# scaricatore.exe and by `curl -o`. Extractor: an archive of 2,000 files and
# 200 MiB, unpacked into an empty folder by unzip.exe and by `unzip -o -q`.
# Each is run RIPETIZIONI times (default 7), alternating; medians and best
# runs are compared (on a busy machine the best run is the steadier figure). Peak memory is the largest maximum RSS seen (GNU time).
# Targets: download time ratio <= 1.10, extraction ratio <= 0.60, peak
# memory <= 16 MiB for both of our programs.
set -euo pipefail

radice=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$radice/build}" && pwd)
ripetizioni=${RIPETIZIONI:-7}
for p in "$build/scaricatore.exe" "$build/unzip.exe" "$build/noce-server"; do
  [[ -x $p ]] || { echo "missing $p: build first" >&2; exit 1; }
done
for p in curl unzip zip python3 /usr/bin/time; do
  command -v "$p" >/dev/null || { echo "missing $p" >&2; exit 1; }
done

# On disk, like the installer's folder: not in a memory file system.
lavoro=$(mktemp -d "${BENCH_DIR:-/var/tmp}/noce-bench-XXXXXX")
server_pid=
fine() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
  rm -rf "$lavoro"
}
trap fine EXIT

export NOCE_DRIVE_C="$lavoro/drive_c"
mkdir -p "$NOCE_DRIVE_C/Setup" "$lavoro/radice/download"
cp "$build/scaricatore.exe" "$NOCE_DRIVE_C/Setup/"

# The figures of one pair: medians, best runs, their ratios, peak memory.
riporta() {  # nostro-file nostro-nome loro-file loro-nome obiettivo
  local n_t c_t n_b c_b n_m c_m
  n_t=$(cut -d' ' -f1 "$1" | mediana); c_t=$(cut -d' ' -f1 "$3" | mediana)
  n_b=$(cut -d' ' -f1 "$1" | minimo); c_b=$(cut -d' ' -f1 "$3" | minimo)
  n_m=$(cut -d' ' -f2 "$1" | massimo); c_m=$(cut -d' ' -f2 "$3" | massimo)
  printf '%-16s median %6.2f s  best %6.2f s  peak RSS %5.1f MiB  (runs: %s)\n' "$2" "$n_t" "$n_b" \
    "$(dividi "$n_m" 1024)" "$(cut -d' ' -f1 "$1" | tr '\n' ' ')"
  printf '%-16s median %6.2f s  best %6.2f s  peak RSS %5.1f MiB  (runs: %s)\n' "$4" "$c_t" "$c_b" \
    "$(dividi "$c_m" 1024)" "$(cut -d' ' -f1 "$3" | tr '\n' ' ')"
  printf 'ratio            median %.2f  best %.2f  (target <= %s; peak memory target <= 16 MiB)\n' \
    "$(dividi "$n_t" "$c_t")" "$(dividi "$n_b" "$c_b")" "$5"
}

# "seconds KiB" of one command, its output thrown away.
misura() {
  /usr/bin/time -f '%e %M' -o "$lavoro/tempo" "$@" >/dev/null 2>"$lavoro/errori" ||
    { echo "failed: $*" >&2; cat "$lavoro/errori" >&2; exit 1; }
  cat "$lavoro/tempo"
}
mediana() { sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
massimo() { sort -g | tail -1; }
minimo() { sort -g | head -1; }
dividi() { awk -v a="$1" -v b="$2" 'BEGIN {printf "%.4f", a / b}'; }

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores"
echo "== Download: 256 MiB from noce-server on 127.0.0.1 ($ripetizioni runs each)"
head -c $((256 * 1024 * 1024)) /dev/urandom >"$lavoro/radice/download/grande.bin"
"$build/noce-server" --port 0 --root "$lavoro/radice" --durata 1800 >"$lavoro/porta" 2>"$lavoro/server.log" &
server_pid=$!
for _ in $(seq 100); do [[ -s $lavoro/porta ]] && break; sleep 0.05; done
porta=$(head -1 "$lavoro/porta")
export NOCE_SERVER="127.0.0.1:$porta"
url="http://127.0.0.1:$porta/download/grande.bin"
: >"$lavoro/nostro"; : >"$lavoro/curl"
# Every run writes a new file and nothing is deleted until the end: on a
# file system mounted with online discard, deleting hundreds of MiB makes
# the next journal commits, and so the next run, slow for seconds.
for i in $(seq "$ripetizioni"); do
  sync
  misura "$NOCE_DRIVE_C/Setup/scaricatore.exe" -download/grande.bin "-C:\\Setup\\grande$i.bin" >>"$lavoro/nostro"
  cmp -s "$NOCE_DRIVE_C/Setup/grande$i.bin" "$lavoro/radice/download/grande.bin" || { echo "downloaded file differs" >&2; exit 1; }
  sync
  misura curl -s -o "$lavoro/curl$i.bin" "$url" >>"$lavoro/curl"
done
riporta "$lavoro/nostro" scaricatore.exe "$lavoro/curl" "curl -o" 1.10

echo
echo "== Extraction: 2,000 files, 200 MiB ($ripetizioni runs each)"
python3 "$radice/bench/archivio_2000.py" "$lavoro/sorgente"
(cd "$lavoro/sorgente" && zip -q -r "$lavoro/archivio.zip" .)
cp "$lavoro/archivio.zip" "$NOCE_DRIVE_C/Setup/transito.zip"
echo "archive: $(unzip -Z1 "$lavoro/archivio.zip" | grep -vc '/$') files, $(du -m "$lavoro/archivio.zip" | cut -f1) MiB packed"
: >"$lavoro/nostro"; : >"$lavoro/infozip"
for i in $(seq "$ripetizioni"); do
  sync
  misura "$build/unzip.exe" -o "C:\\Setup\\transito.zip" -d "C:\\Setup\\files$i" >>"$lavoro/nostro"
  sync
  misura unzip -o -q "$lavoro/archivio.zip" -d "$lavoro/infozip$i" >>"$lavoro/infozip"
  diff -r -q "$NOCE_DRIVE_C/Setup/files$i" "$lavoro/infozip$i" >/dev/null || { echo "extracted trees differ" >&2; exit 1; }
done
riporta "$lavoro/nostro" unzip.exe "$lavoro/infozip" "unzip -o -q" 0.60
