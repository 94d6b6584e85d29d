#!/usr/bin/env bash
# A message box on its own: a long text is wrapped inside the box, never
# run past its right edge; each button answers a mouse click with its own
# answer, as a person answers it.
source "$(dirname "$0")/comune.sh"
PROGRAMMA="$NOCE_BUILD/tests/window/riquadro-prova"
avvia_xvfb

# Starts the box; sets PID_INST (stopped by the trap like the installer)
# and the box's geometry.
apri() {
    "$PROGRAMMA" "$@" >"$PROVA_TMP/risposta" 2>"$PROVA_TMP/installatore.err" &
    PID_INST=$!
    local id
    id=$(attendi_finestra '^Prova$' 10) || fallito "no box for: $*"
    sleep 0.3
    geometria "$id"
    RIQUADRO=$id
}
# Clicks the button whose centre lies `dalDestro` pixels left of the box's
# right edge, on the buttons' row, and checks the answer printed.
clicca_pulsante() {
    local dalDestro=$1 atteso=$2
    xdotool mousemove --sync $((GX + GW - dalDestro)) $((GY + GH - 21))
    sleep 0.1
    xdotool click 1
    attendi_fine 5 || fallito "the box did not close on a click ${dalDestro}px from its right edge"
    [[ "$(cat "$PROVA_TMP/risposta")" == "$atteso" ]] || fallito "clicked answer $(cat "$PROVA_TMP/risposta"), not $atteso"
}

lungo="Questo messaggio è molto più lungo di una riga della finestra di messaggio: deve andare a capo"
lungo+=" tra le parole e restare tutto dentro il riquadro, senza che una sola lettera esca dal bordo destro."
apri "$lungo"
shot="$SCHERMATE/riquadro-lungo.png"
schermata_riquadro "$RIQUADRO" "$shot"
# The text band: from the top to the buttons' band (41 px at the bottom).
alto=$((GH - 41))
testo=$(conta_colore "$shot" 50 0 $((GW - 70)) "$alto" 0,0,0)
((testo > 300)) || fallito "no text in the box ($testo dark pixels)"
margine=$(conta_colore "$shot" $((GW - 16)) 0 16 "$alto" 0,0,0)
((margine == 0)) || fallito "the text runs past the box: $margine dark pixels in its right margin"
# Wrapped: dark pixels on at least three separate rows of text.
righe=$(pixel_area "$shot" 50 0 $((GW - 70)) "$alto" | awk -v w=$((GW - 70)) '
    { y = int((NR - 1) / w); if ($1 < 60 && $2 < 60 && $3 < 60) scuro[y] = 1 }
    END { for (y = 0; y < 1000; y++) { if (scuro[y] && !prima) n++; prima = scuro[y] } print n + 0 }')
((righe >= 3)) || fallito "the long text is not wrapped ($righe rows of text)"
clicca_pulsante 49 1
echo "long message wrapped inside the box, OK clicked: ok"

# A question: "No" is the right-hand button, "Sì" the one beside it.
apri "Una domanda?" question
clicca_pulsante 49 7
apri "Una domanda?" question
clicca_pulsante 132 6
echo "Sì and No answer a click: ok"
