#!/usr/bin/env bash
# Hover feedback in the Windows window under Wine: the face of the button
# under the pointer lights up (navy frame, blue gradient) and goes back to
# normal over the window background and the edition panel; an instruction
# line changes nothing. The pointer crosses the window as a person's would.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
prepara_drive
avvia_installatore

N=$CORNICE_NORMALE A=$CORNICE_ACCESA
passo=0
# x y | INSTALLA's frame | ESCI's frame | where the pointer is
while read -r x y installa esci dove; do
    passo=$((passo + 1))
    punta "$x" "$y"
    shot="$PROVA_TMP/passo$passo.png"
    schermata_finestra "$shot"
    [[ $passo == 2 ]] && cp "$shot" "$SCHERMATE/wine-hover-installa.png"
    atteso_pixel "$shot" "$INSTALLA_X" "$INSTALLA_Y" "${!installa}" "step $passo, pointer over $dove: INSTALLA"
    atteso_pixel "$shot" "$ESCI_X" "$ESCI_Y" "${!esci}" "step $passo, pointer over $dove: ESCI"
    if [[ $installa == A ]]; then inside="227,247,255"; else inside="240,241,242"; fi
    atteso_pixel "$shot" $((INSTALLA_X + 2)) $((INSTALLA_Y + 1)) "$inside" "step $passo: INSTALLA's gradient"
done <<'TABELLA'
200 205 N N the bare window background
340 172 A N INSTALLA
420 172 A A ESCI, straight from INSTALLA
100 20 A A an instruction line
420 140 N N the edition panel
340 172 A N INSTALLA again
455 150 N N the window background
TABELLA
echo "screenshot: $SCHERMATE/wine-hover-installa.png"
echo "hover under Wine: ok"
