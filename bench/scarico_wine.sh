#!/usr/bin/env bash
# The Windows downloader under Wine against Linux `curl -o`, on the same
# 256 MiB file served by noce-server on 127.0.0.1; and a trivial Windows
# program (eco.exe, which does nothing without its variables) run the same
# way, for what starting a program under Wine costs by itself. The Linux
# downloader is measured beside them. Not part of ./test.
#
#   bench/scarico_wine.sh [BUILD_DIR [BUILD_WIN_DIR]]   (default: build, build-win)
#
# All Wine runs share one prefix whose wineserver is kept running, as on a
# machine where Wine is already up; the first start of that server is
# reported apart. Each is run RIPETIZIONI times (default 5), alternating.
set -euo pipefail

radice=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$radice/build}" && pwd)
build_win=$(cd "${2:-$radice/build-win}" && pwd)
ripetizioni=${RIPETIZIONI:-5}
for p in "$build/noce-server" "$build/scaricatore.exe" "$build_win/scaricatore.exe" "$build_win/tests/win32/eco.exe"; do
  [[ -f $p ]] || { echo "missing $p: build both trees first" >&2; exit 1; }
done
for p in curl wine wineserver /usr/bin/time; do
  command -v "$p" >/dev/null || { echo "missing $p" >&2; exit 1; }
done

lavoro=$(mktemp -d "${BENCH_DIR:-/var/tmp}/noce-bench-wine-XXXXXX")
server_pid=
fine() {
  [[ -n $server_pid ]] && kill "$server_pid" 2>/dev/null && wait "$server_pid" 2>/dev/null || true
  [[ -d ${WINEPREFIX:-} ]] && { wineserver -k 2>/dev/null || true; wineserver -w 2>/dev/null || true; }
  rm -rf "$lavoro"
}
trap fine EXIT

mediana() { sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
minimo() { sort -g | head -1; }
massimo() { sort -g | tail -1; }
# "seconds KiB" of one command, its output thrown away.
misura() {
  /usr/bin/time -f '%e %M' -o "$lavoro/tempo" "$@" >/dev/null 2>"$lavoro/errori" ||
    { echo "failed: $*" >&2; cat "$lavoro/errori" >&2; exit 1; }
  cat "$lavoro/tempo"
}
riga() {  # file name
  printf '%-28s median %6.2f s  best %6.2f s  peak RSS %6.1f MiB  (runs: %s)\n' "$2" \
    "$(cut -d' ' -f1 "$1" | mediana)" "$(cut -d' ' -f1 "$1" | minimo)" \
    "$(cut -d' ' -f2 "$1" | massimo | awk '{printf "%.1f", $1 / 1024}')" "$(cut -d' ' -f1 "$1" | tr '\n' ' ')"
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; $(wine --version)"
NOCE_WINE_MODELLO="$lavoro/prefisso" bash "$radice/tests/wine/modello.sh" crea
export WINEPREFIX="$lavoro/prefisso" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
setup="$WINEPREFIX/drive_c/Setup"
mkdir -p "$setup" "$lavoro/linux/Setup" "$lavoro/radice/download"
cp "$build_win/scaricatore.exe" "$build_win/tests/win32/eco.exe" "$setup/"
cp "$build/scaricatore.exe" "$lavoro/linux/Setup/"

head -c $((256 * 1024 * 1024)) /dev/urandom >"$lavoro/radice/download/grande.bin"
"$build/noce-server" --port 0 --root "$lavoro/radice" --durata 1800 >"$lavoro/porta" 2>"$lavoro/server.log" &
server_pid=$!
for _ in $(seq 100); do [[ -s $lavoro/porta ]] && break; sleep 0.05; done
porta=$(head -1 "$lavoro/porta")
export NOCE_SERVER="127.0.0.1:$porta"

echo "== The prefix's first program (its services start with it)"
misura wine "$setup/eco.exe" | awk '{printf "first eco.exe: %.2f s\n", $1}'
# Kept running from here on, as it is on a machine in use.
wineserver -p 2>/dev/null || true

echo "== 256 MiB from noce-server on 127.0.0.1 ($ripetizioni runs each)"
: >"$lavoro/eco"; : >"$lavoro/win"; : >"$lavoro/curl"; : >"$lavoro/lin"
# Every run writes a new file and nothing is deleted until the end: deleting
# hundreds of MiB can slow the next runs' journal commits for seconds.
for i in $(seq "$ripetizioni"); do
  misura wine "$setup/eco.exe" >>"$lavoro/eco"
  sync
  misura wine "$setup/scaricatore.exe" -download/grande.bin "-C:\\Setup\\grande$i.bin" >>"$lavoro/win"
  cmp -s "$setup/grande$i.bin" "$lavoro/radice/download/grande.bin" || { echo "downloaded file differs" >&2; exit 1; }
  sync
  misura curl -s -o "$lavoro/curl$i.bin" "http://$NOCE_SERVER/download/grande.bin" >>"$lavoro/curl"
  sync
  NOCE_DRIVE_C="$lavoro/linux" misura "$lavoro/linux/Setup/scaricatore.exe" -download/grande.bin \
    "-C:\\Setup\\grande$i.bin" >>"$lavoro/lin"
done
riga "$lavoro/eco" "eco.exe under Wine"
riga "$lavoro/win" "scaricatore.exe under Wine"
riga "$lavoro/curl" "curl -o"
riga "$lavoro/lin" "scaricatore.exe (Linux)"
awk -v w="$(cut -d' ' -f1 "$lavoro/win" | mediana)" -v c="$(cut -d' ' -f1 "$lavoro/curl" | mediana)" \
  -v e="$(cut -d' ' -f1 "$lavoro/eco" | mediana)" \
  'BEGIN {printf "ratio Windows/curl: median %.2f; less Wine'"'"'s own start: %.2f\n", w / c, (w - e) / c}'
