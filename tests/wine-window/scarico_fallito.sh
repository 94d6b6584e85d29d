#!/usr/bin/env bash
# A fetch that fails under Wine: the server has everything but the archive.
# The cycle shows Windows' own box, titled "NOCE Installazione", with the
# stop icon, the text "Errore nello scarico dell'archivio." and OK alone;
# after Return the program is gone and its log stays in C:\Setup\files.
source "$(dirname "$0")/comune.sh"
richiede_contenuto_win
avvia_xvfb
avvia_server_senza_archivio "$CONTENUTO_WIN"
prepara_drive
avvia_installatore

installa_e_attendi 'NOCE Installazione' 180 || fallito "no box titled \"NOCE Installazione\""
riquadro=$RIQUADRO
testi=$(testi_finestra "NOCE Installazione")
[[ "$testi" == $'NOCE Installazione\nOK\nErrore nello scarico dell\'archivio.' ]] || fallito "the box says: $testi"
schermata_riquadro "$riquadro" "$SCHERMATE/wine-scarico-fallito.png"
# the stop icon: red, at the left of the text
rossi=$(rossi_a_sinistra "$SCHERMATE/wine-scarico-fallito.png")
((rossi > 100)) || fallito "no stop icon in the box ($rossi red pixels)"

premi_tasto "$riquadro" Return
attendi_fine 20 || fallito "the program is still running after the failure was confirmed"
log_record | grep -q "Premuto 'Installa'" || fallito "the log did not stay in C:\\Setup\\files"
[[ ! -e "$NOCE_DRIVE_C/Noce" ]] || fallito "something was installed"
echo "failed fetch under Wine: ok"
