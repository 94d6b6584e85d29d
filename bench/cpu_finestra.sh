#!/usr/bin/env bash
# CPU used by the installer while its cycle waits on the downloader's marker
# and the strip scrolls: the download server is paused (SIGSTOP) right after
# the bootstrap, so the fetch of the install list hangs; then the
# installer's and the X server's CPU time is read from /proc over 10 s.
#   NOCE_BUILD=build bench/cpu_finestra.sh [seconds]
radice=$(cd "$(dirname "$0")/.." && pwd)
export NOCE_BUILD=${NOCE_BUILD:-$radice/build}
source "$radice/tests/window/comune.sh"
secondi=${1:-10}

avvia_xvfb
avvia_server
prepara_drive
avvia_installatore
clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 0
punta 455 150 0
for ((i = 0; i < 50; i++)); do
    log_record | grep -q "Fine scarico Scaricatore" && break
    sleep 0.1
done
kill -STOP "$PID_SERVER"
sleep 3   # the first tick has started the downloader, which now waits
log_record | grep -q "Avvio scarico lista" || fallito "the cycle did not start the list fetch"

tempo() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
hz=$(getconf CLK_TCK)
i0=$(tempo "$PID_INST") x0=$(tempo "$PID_XVFB") t0=$(date +%s.%N)
schermata_finestra "$PROVA_TMP/a.png"
sleep "$secondi"
i1=$(tempo "$PID_INST") x1=$(tempo "$PID_XVFB") t1=$(date +%s.%N)
schermata_finestra "$PROVA_TMP/b.png"
kill -CONT "$PID_SERVER"
diverso=$("$CONVERT" "$PROVA_TMP/a.png" "$PROVA_TMP/b.png" -crop 463x32+0+192 +repage -compose difference -composite \
    -format '%[fx:maxima > 0]' info:)
((diverso == 1)) || fallito "the strip stood still during the measure"
! log_record | grep -q "Controllo la presenza del file unzip" || fallito "the list fetch ended during the measure"
awk -v i="$((i1 - i0))" -v x="$((x1 - x0))" -v hz="$hz" -v a="$t0" -v b="$t1" 'BEGIN {
    s = b - a
    printf "cycle waiting on the marker, strip scrolling, %.1f s:\n", s
    printf "  installer: %.2f %% of one core\n", 100 * i / hz / s
    printf "  X server (Xvfb, drawing): %.2f %% of one core\n", 100 * x / hz / s
}'
