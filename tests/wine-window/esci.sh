#!/usr/bin/env bash
# ESCI in the Windows window under Wine ends the program at once and logs
# exactly one "Premuto 'Esci'": in the ready state, and between INSTALLA and
# the cycle's first tick (the downloader fetched, the 2000 ms timer not yet
# fired).
source "$(dirname "$0")/comune.sh"
avvia_xvfb
# ESCI comes before the first tick could run the downloader: any content
# with one to fetch will do.
avvia_server

for stato in pronto dopo_installa; do
    esci_in "$stato"
done
