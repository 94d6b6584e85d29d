#!/usr/bin/env bash
# A fetch that fails: the server has everything but the archive. The cycle
# shows "Errore nello scarico dell'archivio." with the stop icon in a box
# titled "NOCE Installazione"; after Return the program is gone and its log
# stays in C:\Setup\files.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
avvia_server_senza_archivio "$NOCE_BUILD/server-content"
prepara_drive
avvia_installatore

installa_e_attendi 'NOCE Installazione' 120 || fallito "no box titled \"NOCE Installazione\""
riquadro=$RIQUADRO
schermata_riquadro "$riquadro" "$SCHERMATE/scarico-fallito.png"
# the stop icon: a red disc at the left of the text
rossi=$(rossi_a_sinistra "$SCHERMATE/scarico-fallito.png")
((rossi > 300)) || fallito "no stop icon in the box ($rossi red pixels)"
# centred over the window
((GX + GW / 2 - (FX + 463 / 2) <= 1 && FX + 463 / 2 - (GX + GW / 2) <= 1)) || fallito "box not centred over the window"

premi_tasto "$riquadro" Return
attendi_fine 10 || fallito "the program is still running after the failure was confirmed"
log_record | grep -q "Premuto 'Installa'" || fallito "the log did not stay in C:\\Setup\\files"
[[ ! -e "$NOCE_DRIVE_C/Noce" ]] || fallito "something was installed"
echo "failed fetch: ok"
