#!/usr/bin/env bash
# Without administrator rights: the white notice covers the upper part of
# the window with its two lines and the help label (Windows 6.x), INSTALLA
# is hidden, the help label underlines under the pointer and loses it over
# the notice text, and ESCI still ends the program.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
prepara_drive Administrator=no
avvia_installatore
sleep 0.5
shot="$SCHERMATE/rifiutato.png"
schermata_finestra "$shot"
echo "screenshot: $shot"

atteso_pixel "$shot" 2 2 "255,255,255" "notice panel"
atteso_pixel "$shot" 460 150 "255,255,255" "notice panel's right end"
atteso_pixel "$shot" 200 165 "$SFONDO" "below the notice"
atteso_pixel "$shot" "$INSTALLA_X" "$INSTALLA_Y" "$SFONDO" "INSTALLA hidden"
atteso_pixel "$shot" "$ESCI_X" "$ESCI_Y" "$CORNICE_NORMALE" "ESCI shown"
controlla_regioni "$shot" <<'TABELLA'
100 16 300 20 0,0,128 150 first line of the notice
40 36 400 20 0,0,128 150 second line of the notice
8 104 185 13 0,0,128 100 help label
8 168 120 18 0,0,128 30 operating-system line below the notice
TABELLA
# The instructions and the edition choice lie under the notice.
n=$(conta_colore "$shot" 8 112 300 30 0,0,128)
((n < 400)) || fallito "the edition choice shows through the notice ($n navy pixels)"

# underline: the bottom rows of the help label
sotto() { conta_colore "$1" 8 113 185 4 0,0,128; }
prima=$(sotto "$shot")
PUNTATORE="$NOCE_BUILD/tests/window/puntatore"
punta 60 110
mano=$("$PUNTATORE")
[[ "$mano" == "32x32 10,1" ]] || fallito "over the help label the pointer is $mano, not the 32 x 32 hand"
schermata_finestra "$PROVA_TMP/sopra.png"
dopo=$(sotto "$PROVA_TMP/sopra.png")
((dopo - prima >= 100)) || fallito "help label not underlined under the pointer ($prima -> $dopo)"
# the bare window below the OS line (no control there, so the form's own
# handler runs): Form_MouseMove leaves the underline alone
atteso_pixel "$shot" 200 205 "$SFONDO" "bare window below the OS line"
punta 200 205
schermata_finestra "$PROVA_TMP/sfondo.png"
resta=$(sotto "$PROVA_TMP/sfondo.png")
((resta - prima >= 100)) || fallito "the window background removed the underline ($resta)"
# the bare notice panel restores the faces and removes it
punta 420 60
schermata_finestra "$PROVA_TMP/pannello.png"
tolto=$(sotto "$PROVA_TMP/pannello.png")
((tolto - prima < 20)) || fallito "underline stayed over the notice panel ($tolto)"
# the hand only over the label
[[ "$("$PUNTATORE")" != "$mano" ]] || fallito "the hand stayed outside the help label"

clicca $((ESCI_X + 30)) $((ESCI_Y + 12)) 0
attendi_fine 5 || fallito "ESCI did not end the program"
[[ "$(log_record)" == $'Inizio procedura\nPremuto \'Esci\'' ]] || fallito "log: $(log_record)"
echo "refused state: ok"
