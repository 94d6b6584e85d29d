#!/usr/bin/env bash
# The archive question in Windows' own box under Wine, asked when
# C:\Setup\transito.zip is already there, answered from the keyboard. The
# server has no archive, so "No" (Right, then Return) must install from the
# archive at hand, and Yes (Return alone: the first button is the default)
# must fetch it again and fail. Escape is not tried: Windows' Yes/No box
# ignores it, Wine's ends the box with IDCANCEL, which Windows never gives.
source "$(dirname "$0")/comune.sh"
richiede_contenuto_win
avvia_xvfb
avvia_server_senza_archivio "$CONTENUTO_WIN"

# answer keys | what follows | title of the next box
while read -r tasti esito titolo; do
    drive_nuovo
    cp "$CONTENUTO_WIN/download/FulcroNoceFiles.zip" "$NOCE_DRIVE_C/Setup/transito.zip"
    avvia_installatore
    installa_e_attendi 'NOCE' 180 || fallito "$esito: no archive question"
    domanda=$RIQUADRO
    testi=$(testi_finestra NOCE)
    # the title, Yes and No, and the text's two lines
    [[ "$(tail -n2 <<<"$testi")" == $'E\' già presente il file transito.zip.\nScaricarlo di nuovo?' ]] ||
        fallito "$esito: the question says: $testi"
    (($(wc -l <<<"$testi") == 5)) || fallito "$esito: not two buttons: $testi"
    [[ $esito == installa ]] && schermata "$SCHERMATE/wine-domanda.png"
    for t in ${tasti//,/ }; do
        premi_tasto "$domanda" "$t"
        sleep 0.2
    done
    # The question is titled NOCE too, and Wine may still show it for a moment.
    prossimo=""
    for ((i = 0; i < 1800; i++)); do
        prossimo=$(xdotool search --onlyvisible --name "^$titolo\$" 2>/dev/null | grep -vx "$domanda" | head -n1 || true)
        [[ -z "$prossimo" ]] || break
        sleep 0.1
    done
    [[ -n "$prossimo" ]] || fallito "$esito: no box \"$titolo\" after the answer"
    sleep 0.5
    # After an installation the box is behind the font batch's console.
    attiva_finestra "$prossimo"
    premi_tasto "$prossimo" Return
    attendi_fine 30 || fallito "$esito: the program did not end"
    case $esito in
    installa) [[ -f "$NOCE_DRIVE_C/Noce/noce.exe" ]] || fallito "No: nothing installed from the archive at hand" ;;
    scarica)
        ! log_record | grep -qx "Non scarico" || fallito "Yes kept the archive"
        [[ ! -e "$NOCE_DRIVE_C/Noce" ]] || fallito "Yes: installed without an archive"
        ;;
    esac
    echo "archive question answered $tasti under Wine: ok"
done <<'TABELLA'
Right,Return installa NOCE
Return scarica NOCE Installazione
TABELLA
