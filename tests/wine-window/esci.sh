#!/usr/bin/env bash
# ESCI in the Windows window under Wine ends the program at once and logs
# exactly one "Premuto 'Esci'": in the ready state, and between INSTALLA and
# the cycle's first tick (the downloader fetched, the 2000 ms timer not yet
# fired).
source "$(dirname "$0")/comune.sh"
richiede_contenuto_win
avvia_xvfb
avvia_server "$CONTENUTO_WIN"

for stato in pronto dopo_installa; do
    rm -rf "$NOCE_DRIVE_C/Setup"
    prepara_drive
    avvia_installatore
    if [[ $stato == dopo_installa ]]; then
        clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 0
        for ((i = 0; i < 15; i++)); do
            log_record | grep -q "Fine scarico Scaricatore" && break
            sleep 0.1
        done
        log_record | grep -q "Fine scarico Scaricatore" || fallito "$stato: the downloader was not fetched"
    fi
    clicca $((ESCI_X + 30)) $((ESCI_Y + 12)) 0
    attendi_fine 20 || fallito "$stato: the program is still running after ESCI"
    ((ESITO == 0)) || fallito "$stato: exit status $ESITO"
    esci=$(log_record | grep -c "^Premuto 'Esci'$" || true)
    ((esci == 1)) || fallito "$stato: $esci records \"Premuto 'Esci'\""
    [[ "$(log_record | tail -n1)" == "Premuto 'Esci'" ]] || fallito "$stato: something was logged after ESCI"
    if [[ $stato == dopo_installa ]]; then
        ! log_record | grep -q "lista.txt" || fallito "$stato: the cycle ticked before ESCI"
    else
        [[ "$(log_record)" == $'Inizio procedura\nPremuto \'Esci\'' ]] || fallito "$stato: log is $(log_record)"
    fi
    echo "ESCI $stato under Wine: ok"
done
