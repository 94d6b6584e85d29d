#!/usr/bin/env bash
# CPU used by the installer while its cycle waits on the downloader's marker
# and the strip scrolls: the download server is paused (SIGSTOP) right after
# the bootstrap, so the fetch of the install list hangs; then the
# installer's and the X server's CPU time is read from /proc over 10 s.
# With "windows", the Windows installer under Wine (build-win/, the run's
# template prefix in build/wine/modello), with its wineserver's time too.
#   NOCE_BUILD=build bench/cpu_finestra.sh [windows] [seconds]
radice=$(cd "$(dirname "$0")/.." && pwd)
export NOCE_BUILD=${NOCE_BUILD:-$radice/build}
if [[ "${1:-}" == windows ]]; then
    shift
    export NOCE_BUILD_WIN=${NOCE_BUILD_WIN:-$radice/build-win}
    export NOCE_WINE_MODELLO=${NOCE_WINE_MODELLO:-$NOCE_BUILD/wine/modello}
    source "$radice/tests/wine-window/comune.sh"
    contenuto=$CONTENUTO_WIN
else
    source "$radice/tests/window/comune.sh"
    contenuto=$NOCE_BUILD/server-content
fi
secondi=${1:-10}

avvia_xvfb
avvia_server "$contenuto"
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

tempo() { awk '{ print $14 + $15 }' "/proc/$1/stat" 2>/dev/null || echo 0; }
# Wine's own server for our prefix, which carries the window's messages.
PID_WS=""
if [[ -n "${WINEPREFIX:-}" ]]; then
    for p in $(pgrep wineserver || true); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && PID_WS=$p
    done
fi
hz=$(getconf CLK_TCK)
i0=$(tempo "$PID_INST") x0=$(tempo "$PID_XVFB") w0=$([[ -n $PID_WS ]] && tempo "$PID_WS" || echo 0) t0=$(date +%s.%N)
schermata_finestra "$PROVA_TMP/a.png"
sleep "$secondi"
i1=$(tempo "$PID_INST") x1=$(tempo "$PID_XVFB") w1=$([[ -n $PID_WS ]] && tempo "$PID_WS" || echo 0) t1=$(date +%s.%N)
schermata_finestra "$PROVA_TMP/b.png"
kill -CONT "$PID_SERVER"
diverso=$("$CONVERT" "$PROVA_TMP/a.png" "$PROVA_TMP/b.png" -crop 463x32+0+192 +repage -compose difference -composite \
    -format '%[fx:maxima > 0]' info:)
((diverso == 1)) || fallito "the strip stood still during the measure"
! log_record | grep -q "Controllo la presenza del file unzip" || fallito "the list fetch ended during the measure"
awk -v i="$((i1 - i0))" -v x="$((x1 - x0))" -v w="$((w1 - w0))" -v ws="$PID_WS" -v hz="$hz" -v a="$t0" -v b="$t1" 'BEGIN {
    s = b - a
    printf "cycle waiting on the marker, strip scrolling, %.1f s:\n", s
    printf "  installer: %.2f %% of one core\n", 100 * i / hz / s
    printf "  X server (Xvfb, drawing): %.2f %% of one core\n", 100 * x / hz / s
    if (ws != "") printf "  wineserver: %.2f %% of one core\n", 100 * w / hz / s
}'
