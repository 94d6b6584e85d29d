#!/usr/bin/env bash
# The window at start-up on a fresh drive: found by its title, 463 x 224,
# fixed size, its icon, and what it shows; the screenshot stays in
# build/screenshots/avvio.png for a person to look at.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
prepara_drive
avvia_installatore

geo=$(xwininfo -id "$FIN")
grep -q 'Width: 463$' <<<"$geo" || fallito "client width: $(grep Width <<<"$geo")"
grep -q 'Height: 224$' <<<"$geo" || fallito "client height: $(grep Height <<<"$geo")"

suggerimenti=$(xprop -id "$FIN" WM_NORMAL_HINTS _NET_WM_ICON _MOTIF_WM_HINTS)
grep -q 'minimum size: 463 by 224' <<<"$suggerimenti" || fallito "no minimum size 463x224"
grep -q 'maximum size: 463 by 224' <<<"$suggerimenti" || fallito "no maximum size 463x224: resizable"
grep -q 'Icon (16 x 16)' <<<"$suggerimenti" || fallito "no 16 x 16 icon"
grep -q 'Icon (32 x 32)' <<<"$suggerimenti" || fallito "no 32 x 32 icon"
# move and close only: functions 4|32, decorations border, title, menu
grep -q '_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x24, 0x1a' <<<"$suggerimenti" ||
    fallito "window manager hints: $(grep MOTIF <<<"$suggerimenti")"

sleep 0.5
shot="$SCHERMATE/avvio.png"
schermata_finestra "$shot"
echo "screenshot: $shot"

atteso_pixel "$shot" 455 150 "$SFONDO" "window background"
atteso_pixel "$shot" 200 210 "$SFONDO" "hidden marquee bar"
atteso_pixel "$shot" "$INSTALLA_X" "$INSTALLA_Y" "$CORNICE_NORMALE" "INSTALLA's normal face"
atteso_pixel "$shot" "$ESCI_X" "$ESCI_Y" "$CORNICE_NORMALE" "ESCI's normal face"

# region: x y w h | colour | at least | what
while read -r x y w h colore minimo cosa; do
    n=$(conta_colore "$shot" "$x" "$y" "$w" "$h" "$colore")
    ((n >= minimo)) || fallito "$cosa: $n pixels of $colore in ${w}x$h+$x+$y, expected at least $minimo"
done <<'TABELLA'
8 8 100 25 0,0,128 40 "Premere:" in navy
24 40 300 30 0,0,128 150 "INSTALLA per installare NOCE," in navy
24 64 300 25 0,0,128 150 "ESCI per annullare l'installazione" in navy
130 25 210 40 255,255,255 150 white FULCRO behind the instructions
40 118 100 20 0,0,128 60 "Versione BASIC" in navy
8 168 120 18 0,0,128 30 operating-system line in navy
TABELLA

# "Versione BASIC" selected (a dark dot in its circle), "Versione ESTESA" not.
dot=$(conta_colore "$shot" 24 122 13 13 24,72,140)
((dot >= 4)) || fallito "BASIC is not shown selected"
dot=$(conta_colore "$shot" 192 122 13 13 24,72,140)
((dot == 0)) || fallito "ESTESA is shown selected"

[[ "$(log_record)" == "Inizio procedura" ]] || fallito "log: $(log_record)"
echo "start-up window: ok"
