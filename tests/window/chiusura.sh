#!/usr/bin/env bash
# Closing the window by its close box ends the program at once, with no
# log line, in the ready and in the running state; Escape does not close it.
source "$(dirname "$0")/comune.sh"
CHIUDI="$NOCE_BUILD/tests/window/chiudi-finestra"
avvia_xvfb
avvia_server

for stato in pronto in_corso; do
    rm -rf "$NOCE_DRIVE_C"
    prepara_drive
    avvia_installatore
    premi_tasto "$FIN" Escape
    sleep 0.5
    vivo || fallito "$stato: Escape closed the window"
    if [[ $stato == in_corso ]]; then
        clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 2.5   # past the first tick
    fi
    prima=$(log_record)
    "$CHIUDI" "$FIN"
    attendi_fine 5 || fallito "$stato: the program is still running after the close box"
    ((ESITO == 0)) || fallito "$stato: exit status $ESITO"
    sleep 0.3
    [[ "$(log_record)" == "$prima" ]] || fallito "$stato: closing logged something"
    echo "close box, $stato: ok"
done
