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

controlla_pronto "$shot"
# "Versione BASIC" selected (a dark dot in its circle), "Versione ESTESA" not.
(($(punti_segno "$shot" $BASIC_X $SEGNO_Y) >= SEGNO_PIENO)) || fallito "BASIC is not shown selected"
(($(punti_segno "$shot" $ESTESA_X $SEGNO_Y) == 0)) || fallito "ESTESA is shown selected"

[[ "$(log_record)" == "Inizio procedura" ]] || fallito "log: $(log_record)"
echo "start-up window: ok"
