#!/usr/bin/env bash
# Hover feedback in the real window: a button under the pointer shows its
# highlighted face (navy frame); the window background and the edition
# panel bring back the normal faces ((61,61,67) frame); labels, the
# FULCRO lettering and the option buttons change nothing.
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
    [[ $passo == 2 ]] && cp "$shot" "$SCHERMATE/hover-installa.png"
    atteso_pixel "$shot" "$INSTALLA_X" "$INSTALLA_Y" "${!installa}" "step $passo, pointer over $dove: INSTALLA"
    atteso_pixel "$shot" "$ESCI_X" "$ESCI_Y" "${!esci}" "step $passo, pointer over $dove: ESCI"
    # the face's inside follows the frame: highlighted gradient or normal one
    if [[ $installa == A ]]; then inside="227,247,255"; else inside="240,241,242"; fi
    atteso_pixel "$shot" $((INSTALLA_X + 2)) $((INSTALLA_Y + 1)) "$inside" "step $passo: INSTALLA's gradient"
done <<'TABELLA'
200 205 N N the bare window background
340 172 A N INSTALLA
420 172 A A ESCI, straight from INSTALLA
60 176 A A the operating-system line
100 20 A A an instruction line
450 50 A A the FULCRO lettering
60 128 A A an option button
420 140 N N the edition panel
420 172 N A ESCI
455 150 N N the window background
TABELLA
echo "screenshot: $SCHERMATE/hover-installa.png"
echo "hover: ok"
