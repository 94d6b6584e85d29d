#!/usr/bin/env bash
# The Windows window at start-up under Wine: found by its title, a client
# area of 463 x 224 in a fixed frame with a close box only, both icons, the
# ready state's pixels, and the operating-system line following the version
# Wine reports (10.0 only with the manifest's supported systems, else 6.2).
# The screenshot stays in build/screenshots/wine-avvio.png.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
prepara_drive

# The right end of the navy operating-system line, in client pixels.
fine_riga_so() {
    pixel_area "$1" 8 168 200 18 | awk -v larghi=200 '
        { x = (NR - 1) % larghi }
        $1 < 60 && $2 < 60 && $3 > 80 && x > fine { fine = x }
        END { print fine + 0 }'
}

declare -A fine
for versione in win7 win10; do
    versione_wine "$versione"
    avvia_installatore
    shot="$PROVA_TMP/$versione.png"
    schermata_finestra "$shot"
    fine[$versione]=$(fine_riga_so "$shot")
    if [[ $versione == win10 ]]; then
        clicca $((ESCI_X + 30)) $((ESCI_Y + 12)) 0
        attendi_fine 20 || fallito "ESCI did not end the program"
        break
    fi

    geo=$(xwininfo -id "$FIN")
    grep -q "Width: $((463 + 2 * BORDO_X))\$" <<<"$geo" || fallito "client width: $(grep Width <<<"$geo")"
    grep -q "Height: $((224 + BORDO_Y + BORDO_FONDO))\$" <<<"$geo" || fallito "client height: $(grep Height <<<"$geo")"
    suggerimenti=$(xprop -id "$FIN" WM_NORMAL_HINTS _NET_WM_ICON _MOTIF_WM_HINTS)
    grep -q "minimum size: 469 by 249" <<<"$suggerimenti" || fallito "no fixed minimum size"
    grep -q "maximum size: 469 by 249" <<<"$suggerimenti" || fallito "no fixed maximum size: resizable"
    grep -q 'Icon (16 x 16)' <<<"$suggerimenti" || fallito "no 16 x 16 icon"
    grep -q 'Icon (32 x 32)' <<<"$suggerimenti" || fallito "no 32 x 32 icon"
    # what Wine makes of the window's style: move and close, border, title
    # and window menu; no minimize, maximize or sizing
    grep -q '_MOTIF_WM_HINTS(_MOTIF_WM_HINTS) = 0x3, 0x24, 0x1a' <<<"$suggerimenti" ||
        fallito "window style: $(grep MOTIF <<<"$suggerimenti")"
    # centred on the screen
    ((OX == (1024 - 469) / 2 && OY == (768 - 249) / 2)) || fallito "not centred: $OX,$OY"

    cp "$shot" "$SCHERMATE/wine-avvio.png"
    echo "screenshot: $SCHERMATE/wine-avvio.png"
    controlla_pronto "$shot"
    # the option marks as the system draws them
    (($(punti_segno "$shot" $BASIC_X $SEGNO_Y) >= SEGNO_PIENO)) || fallito "BASIC is not shown selected"
    (($(punti_segno "$shot" $ESTESA_X $SEGNO_Y) == 0)) || fallito "ESTESA is shown selected"
    [[ "$(log_record)" == "Inizio procedura" ]] || fallito "log: $(log_record)"

    # The window's close box, in Wine's own frame: the program ends there
    # and then, without a log line.
    xdotool mousemove $((OX + 469 - 10)) $((OY + 11)) click 1
    attendi_fine 20 || fallito "the close box did not end the program"
    [[ "$(log_record)" == "Inizio procedura" ]] || fallito "the close box logged: $(log_record)"
done

# "10.0" is a digit wider than "6.1"
((fine[win10] - fine[win7] >= 4)) ||
    fallito "the operating-system line does not follow Wine's version (ends at ${fine[win7]} for win7, ${fine[win10]} for win10)"
echo "operating-system line ends at ${fine[win7]} (win7) and ${fine[win10]} (win10)"
echo "start-up window under Wine: ok"
