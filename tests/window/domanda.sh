#!/usr/bin/env bash
# A Yes/No box in the real window: the archive question, asked when
# C:\Setup\transito.zip is already there. The server has no archive, so
# "No" (Right, then Return) must install from the archive at hand, and
# "Sì" (Return: the first button is the default) must fetch it again and
# fail. The question has no close box and ignores close requests and
# Escape.
source "$(dirname "$0")/comune.sh"
CHIUDI="$NOCE_BUILD/tests/window/chiudi-finestra"
avvia_xvfb
avvia_server_senza_archivio "$NOCE_BUILD/server-content"

# answer keys | what follows | title of the next box
while read -r tasti esito titolo; do
    drive_nuovo
    cp "$NOCE_BUILD/server-content/download/FulcroNoceFiles.zip" "$NOCE_DRIVE_C/Setup/transito.zip"
    avvia_installatore
    installa_e_attendi 'NOCE' 60 || fallito "$esito: no archive question"
    domanda=$RIQUADRO
    suggerimenti=$(xprop -id "$domanda" _MOTIF_WM_HINTS)
    grep -q '= 0x3, 0x4, 0xa' <<<"$suggerimenti" || fallito "$esito: the question offers a close box: $suggerimenti"
    "$CHIUDI" "$domanda"
    premi_tasto "$domanda" Escape
    sleep 0.5
    xwininfo -id "$domanda" | grep -q IsViewable || fallito "$esito: the question went away on close or Escape"
    [[ $esito == installa ]] && schermata "$SCHERMATE/domanda.png"
    for t in ${tasti//,/ }; do
        premi_tasto "$domanda" "$t"
        sleep 0.2
    done
    prossimo=$(attendi_finestra "^$titolo\$" 60) || fallito "$esito: no box \"$titolo\" after the answer"
    sleep 0.3
    premi_tasto "$prossimo" Return
    attendi_fine 20 || fallito "$esito: the program did not end"
    case $esito in
    installa)
        [[ -f "$NOCE_DRIVE_C/Noce/noce.exe" ]] || fallito "No: nothing installed from the archive at hand"
        ;;
    scarica)
        ! log_record | grep -qx "Non scarico" || fallito "Sì kept the archive"
        [[ ! -e "$NOCE_DRIVE_C/Noce" ]] || fallito "Sì: installed without an archive"
        ;;
    esac
    echo "archive question answered $tasti: ok"
done <<'TABELLA'
Right,Return installa NOCE
Return scarica NOCE Installazione
TABELLA
