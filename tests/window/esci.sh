#!/usr/bin/env bash
# ESCI ends the program at once and logs exactly one "Premuto 'Esci'":
# in the ready state, in the refused state, and between INSTALLA and the
# cycle's first tick (INSTALLA's handler has fetched the downloader, the
# 2000 ms timer has not fired yet).
source "$(dirname "$0")/comune.sh"
avvia_xvfb
avvia_server

for stato in pronto rifiutato dopo_installa; do
    esci_in "$stato"
done
