#!/usr/bin/env bash
# The hostile cases of the download server, the downloader, the extractor,
# the registry file and the installer's HTTP client, run against the built
# programs of two build folders; one table row a case: old | new. Not part
# of ./test; run as root (it uses private mount and PID namespaces).
#
#   bench/casi_ostili.sh OLD_BUILD NEW_BUILD
#
# Every case has a bound: the slow downloaders are stopped after CAP_S
# seconds (default 60) and say so. The downloader runs with short time-outs
# (NOCE_SCARICO_STALLO_S=5, CONNESSIONE_S=3, TENTATIVI=3, PAUSA_MS=100);
# for the drip, also FINESTRA_S=10 and SCADENZA_S=40, which only a build
# that has them reads. SOLO=word runs only the cases whose name holds it.
set -uo pipefail

qui=$(cd "$(dirname "$0")" && pwd)
radice=$(cd "$qui/.." && pwd)
vecchio=$(cd "$1" && pwd) || exit 1
nuovo=$(cd "$2" && pwd) || exit 1
cap=${CAP_S:-60}
avvii=${AVVII:-200}
lavoro=$(mktemp -d "${BENCH_DIR:-/var/tmp}/noce-ostili-XXXXXX")
figli=()
fine() {
  for p in "${figli[@]}"; do kill "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$lavoro"
}
trap fine EXIT
python3 "$qui/server_ostile.py" scrivi_dati "$lavoro/dati.bin"

source "$qui/casi_ostili_server.sh"
source "$qui/casi_ostili_scarico.sh"
source "$qui/casi_ostili_estrazione.sh"
source "$qui/casi_ostili_piattaforma.sh"

# Starts a program that prints its port on the first line of its output;
# sets porta and pid_avviato.
avvia_con_porta() {
  local uscita=$1; shift
  "$@" >"$uscita" 2>"$uscita.err" &
  pid_avviato=$!
  figli+=("$pid_avviato")
  porta=
  for _ in $(seq 100); do
    porta=$(head -n1 "$uscita" 2>/dev/null)
    [[ -n $porta ]] && return 0
    sleep 0.05
  done
  return 1
}

ferma() { kill "$1" 2>/dev/null; wait "$1" 2>/dev/null; }

casi=(
  "server: 8 clients, one header byte a second|caso_server_lenti 8"
  "server: 32 clients, one header byte a second|caso_server_lenti 32"
  "server: 32 idle clients|caso_server_muti 32"
  "server: 600 MiB request body, RSS|caso_server_corpo 600"
  "server: stop signal after the port, $avvii starts|caso_server_stop $avvii"
  "server: %0d%0a in a path|caso_server_crlf"
  "downloader: 206 bytes 100000-100999/* after a drop|caso_scarico riprendi_stella"
  "downloader: 206 with another total|caso_scarico totale_diverso"
  "downloader: no length, no chunked, close|caso_scarico senza_lunghezza"
  "downloader: unasked Content-Encoding gzip|caso_scarico gzip"
  "downloader: one byte every 2 s (cap ${cap} s)|caso_scarico goccia"
  "downloader: Content-Length of twenty 9s|caso_scarico nove"
  "downloader: link at the marker's temporary name|caso_scarico_link marcatore"
  "downloader: LogScarico.txt a link outside|caso_scarico_link log"
  "extractor: 1,000 declared, 64 MiB inflated|caso_estrai bomba"
  "extractor: 2,000 entries on one 1 MiB (256 MiB tmpfs)|caso_estrai sovrapposti"
  "extractor: mode 0777 in the archive|caso_estrai modo"
  "extractor: CON, aux.txt, 'punto.', 'spazio '|caso_estrai nomi"
  "registry: 00 c0 b8, 00 ea, ff 00 41 round trip|caso_registro"
  "installer HTTP: 1 MB gzip -> 1 GiB|caso_http bomba_gzip"
  "installer HTTP: 1 GiB, no length|caso_http enorme"
  "installer: zombie children during a demo install|caso_zombie"
)

inizio=$(date +%s)
righe=()
for c in "${casi[@]}"; do
  nome=${c%%|*}
  comando=${c#*|}
  [[ -n ${SOLO:-} && $nome != *"$SOLO"* ]] && continue
  build=$vecchio; a=$($comando 2>>"${ERRORI:-/dev/null}")
  build=$nuovo; b=$($comando 2>>"${ERRORI:-/dev/null}")
  righe+=("$nome|$a|$b")
  printf '%s\n  old: %s\n  new: %s\n' "$nome" "$a" "$b" >&2
done

printf '\n| case | old (%s) | new (%s) |\n|---|---|---|\n' "$vecchio" "$nuovo"
for r in "${righe[@]}"; do
  IFS='|' read -r n a b <<<"$r"
  printf '| %s | %s | %s |\n' "$n" "$a" "$b"
done
printf '\n%d s in all\n' $(($(date +%s) - inizio))
