#!/usr/bin/env bash
# The Windows extractor under Wine against Info-ZIP's unzip on Linux, on the
# archive of 2,000 files and 200 MiB that bench/scarico_e_estrazione.sh
# uses, and a trivial Windows program run the same way, so that what Wine
# itself costs a start can be told apart. Not part of ./test.
#
#   bench/estrazione_wine.sh [BUILD_DIR] [BUILD_WIN_DIR]   (default: build, build-win)
#
# One prefix copied from the run's template (tests/wine/modello.sh, made by
# ctest -L wine into BUILD_DIR/wine/modello), its wineserver kept running
# across the runs, as it would be on a machine where Windows is up.
set -euo pipefail

radice=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$radice/build}" && pwd)
build_win=$(cd "${2:-$radice/build-win}" && pwd)
ripetizioni=${RIPETIZIONI:-5}
export NOCE_WINE_MODELLO=${NOCE_WINE_MODELLO:-$build/wine/modello}
for p in "$build_win/unzip.exe" "$build_win/tests/win32/eco.exe"; do
  [[ -f $p ]] || { echo "missing $p: build build-win first" >&2; exit 1; }
done
for p in wine unzip zip python3 /usr/bin/time; do
  command -v "$p" >/dev/null || { echo "missing $p" >&2; exit 1; }
done
source "$radice/tests/wine/comune.sh"
prefisso_wine
# On disk, like the installer's folder: not in a memory file system.
lavoro=$(mktemp -d "${BENCH_DIR:-/var/tmp}/noce-bench-wine-XXXXXX")
trap 'rm -rf "$lavoro"; _wine_pulisci' EXIT
windows() { echo "Z:${1//\//\\}"; }

misura() {
  /usr/bin/time -f '%e' -o "$lavoro/tempo" "$@" >/dev/null 2>"$lavoro/errori" ||
    { echo "failed: $*" >&2; cat "$lavoro/errori" >&2; exit 1; }
  cat "$lavoro/tempo"
}
mediana() { sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
riga() {  # name file
  printf '%-28s median %7.3f s  best %7.3f s  (runs: %s)\n' "$1" "$(mediana <"$2")" "$(sort -g "$2" | head -1)" \
    "$(tr '\n' ' ' <"$2")"
}

echo "load average: $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; $(wine --version)"
python3 "$radice/bench/archivio_2000.py" "$lavoro/sorgente"
(cd "$lavoro/sorgente" && zip -q -r "$lavoro/archivio.zip" .)
echo "archive: $(unzip -Z1 "$lavoro/archivio.zip" | grep -vc '/$') files, $(du -m "$lavoro/archivio.zip" | cut -f1) MiB packed"

# The prefix's server up before the first run, and kept up.
wineserver -p
wine "$build_win/tests/win32/eco.exe" >/dev/null 2>&1 || true
: >"$lavoro/eco"; : >"$lavoro/nostro"; : >"$lavoro/infozip"
for i in $(seq "$ripetizioni"); do
  misura wine "$build_win/tests/win32/eco.exe" uno due >>"$lavoro/eco"
  sync
  misura wine "$build_win/unzip.exe" -o -q "$(windows "$lavoro/archivio.zip")" -d "$(windows "$lavoro/nostro$i")" \
    >>"$lavoro/nostro"
  sync
  misura unzip -o -q "$lavoro/archivio.zip" -d "$lavoro/infozip$i" >>"$lavoro/infozip"
  diff -r -q "$lavoro/nostro$i" "$lavoro/infozip$i" >/dev/null || { echo "extracted trees differ" >&2; exit 1; }
  rm -rf "$lavoro/nostro$i" "$lavoro/infozip$i"
done
riga "eco.exe under Wine" "$lavoro/eco"
riga "unzip.exe under Wine" "$lavoro/nostro"
riga "Info-ZIP unzip -o -q" "$lavoro/infozip"
awk -v a="$(mediana <"$lavoro/nostro")" -v e="$(mediana <"$lavoro/eco")" -v b="$(mediana <"$lavoro/infozip")" \
  'BEGIN { printf "ratio unzip.exe / Info-ZIP: median %.2f; less Wine'"'"'s start: %.2f\n", a / b, (a - e) / b }'
