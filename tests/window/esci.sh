#!/usr/bin/env bash
# ESCI ends the program at once and logs exactly one "Premuto 'Esci'":
# in the ready state, in the refused state, and between INSTALLA and the
# cycle's first tick (INSTALLA's handler has fetched the downloader, the
# 2000 ms timer has not fired yet).
source "$(dirname "$0")/comune.sh"
avvia_xvfb
avvia_server

esci_in() {
    local stato=$1
    rm -rf "$NOCE_DRIVE_C"
    case $stato in
    pronto) prepara_drive ;;
    rifiutato) prepara_drive Administrator=no ;;
    dopo_installa) prepara_drive ;;
    esac
    avvia_installatore
    if [[ $stato == dopo_installa ]]; then
        clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 0
        # the bootstrap has landed once its record is there; the first tick is
        # 2 s after the click, so ESCI comes well before it
        local i
        for ((i = 0; i < 15; i++)); do
            log_record | grep -q "Fine scarico Scaricatore" && break
            sleep 0.1
        done
        log_record | grep -q "Fine scarico Scaricatore" || fallito "$stato: the downloader was not fetched"
    fi
    clicca $((ESCI_X + 30)) $((ESCI_Y + 12)) 0
    attendi_fine 5 || fallito "$stato: the program is still running after ESCI"
    ((ESITO == 0)) || fallito "$stato: exit status $ESITO"
    local esci
    esci=$(log_record | grep -c "^Premuto 'Esci'$" || true)
    ((esci == 1)) || fallito "$stato: $esci records \"Premuto 'Esci'\""
    [[ "$(log_record | tail -n1)" == "Premuto 'Esci'" ]] || fallito "$stato: something was logged after ESCI"
    if [[ $stato == dopo_installa ]]; then
        ! log_record | grep -q "lista.txt" || fallito "$stato: the cycle ticked before ESCI"
    else
        [[ "$(log_record)" == $'Inizio procedura\nPremuto \'Esci\'' ]] || fallito "$stato: log is $(log_record)"
    fi
    echo "ESCI $stato: ok"
}

for stato in pronto rifiutato dopo_installa; do
    esci_in "$stato"
done
