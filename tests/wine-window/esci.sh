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
    esci_in "$stato"
done
