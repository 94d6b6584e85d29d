#!/usr/bin/env bash
# The refused state needs a user without administrator rights, and Wine has
# none to give: every Wine process carries the Administrators group in its
# token, where IsNTAdmin finds it (a restricted token only marks the group
# deny-only, and it is still there). So this confirms that Wine said yes
# (the ready state, INSTALLA shown, no notice) and is skipped; should Wine
# ever start a program without the rights, it fails, to be turned into the
# refused state's checks.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
prepara_drive
avvia_installatore
shot="$PROVA_TMP/pronto.png"
schermata_finestra "$shot"
if [[ "$(pixel "$shot" 2 2)" == "255,255,255" ]]; then
    fallito "Wine started the installer without administrator rights: the refused state can now be checked here"
fi
atteso_pixel "$shot" "$INSTALLA_X" "$INSTALLA_Y" "$CORNICE_NORMALE" "INSTALLA's normal face"
echo "[  SKIPPED ] Wine cannot start a program without administrator rights: IsNTAdmin always finds the Administrators group"
