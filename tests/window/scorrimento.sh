#!/usr/bin/env bash
# The marquee: hidden until INSTALLA; then the strip moves (two screenshots
# a moment apart differ inside the bar) and covers the whole bar at every
# moment (no pixel of the bar shows anything but the blue strip).
source "$(dirname "$0")/comune.sh"
avvia_xvfb
avvia_server
prepara_drive
avvia_installatore
BAR_Y=192 BAR_H=32   # the bar from its top to the window's bottom edge

schermata_finestra "$PROVA_TMP/prima.png"
(($(conta_colore "$PROVA_TMP/prima.png" 0 $BAR_Y 463 $BAR_H "$SFONDO") == 463 * BAR_H)) ||
    fallito "the bar shows before INSTALLA"

clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 0
punta 455 150 0.5
scoperti() {
    pixel_area "$1" 0 $BAR_Y 463 $BAR_H | awk '!($3 > $1 + 20 && $3 > $2 + 10) { n++ } END { print n + 0 }'
}
for i in 1 2 3 4 5 6; do
    schermata_finestra "$PROVA_TMP/barra$i.png"
    sleep 0.15
done
cp "$PROVA_TMP/barra1.png" "$SCHERMATE/scorrimento.png"
echo "screenshot: $SCHERMATE/scorrimento.png"
for i in 1 2 3 4 5 6; do
    n=$(scoperti "$PROVA_TMP/barra$i.png")
    ((n == 0)) || fallito "screenshot $i: $n pixels of the bar are not the strip"
    if ((i > 1)); then
        "$CONVERT" "$PROVA_TMP/barra$((i - 1)).png" "$PROVA_TMP/barra$i.png" -crop "463x${BAR_H}+0+$BAR_Y" +repage \
            -compose difference -composite -format '%[fx:maxima]' info: >"$PROVA_TMP/diff"
        awk '{ exit !($1 > 0) }' "$PROVA_TMP/diff" || fallito "the strip did not move between screenshots $((i - 1)) and $i"
    fi
done
echo "marquee: ok"
