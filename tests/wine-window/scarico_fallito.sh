#!/usr/bin/env bash
# A fetch that fails under Wine: the server has everything but the archive.
# The cycle shows Windows' own box, titled "NOCE Installazione", with the
# stop icon, the text "Errore nello scarico dell'archivio." and OK alone;
# after Return the program is gone and its log stays in C:\Setup\files.
source "$(dirname "$0")/comune.sh"
richiede_contenuto_win
avvia_xvfb
contenuto="$PROVA_TMP/contenuto"
cp -r "$CONTENUTO_WIN" "$contenuto"
rm "$contenuto/download/FulcroNoceFiles.zip"
avvia_server "$contenuto"
prepara_drive
avvia_installatore

clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 0
punta 455 150 0
riquadro=$(attendi_finestra '^NOCE Installazione$' 180) || fallito "no box titled \"NOCE Installazione\""
sleep 0.5
testi=$(testi_finestra "NOCE Installazione")
[[ "$testi" == $'NOCE Installazione\nOK\nErrore nello scarico dell\'archivio.' ]] || fallito "the box says: $testi"
geo=$(xwininfo -id "$riquadro")
bx=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$geo")
by=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$geo")
bw=$(awk '/Width:/ {print $NF}' <<<"$geo")
bh=$(awk '/Height:/ {print $NF}' <<<"$geo")
schermata "$PROVA_TMP/schermo.png"
"$CONVERT" "$PROVA_TMP/schermo.png" -crop "${bw}x$bh+$bx+$by" +repage "$SCHERMATE/wine-scarico-fallito.png"
echo "screenshot: $SCHERMATE/wine-scarico-fallito.png"
# the stop icon: red, at the left of the text
rossi=$(pixel_area "$SCHERMATE/wine-scarico-fallito.png" 0 0 60 "$bh" | awk '$1 > 150 && $2 < 100 && $3 < 100 { n++ } END { print n + 0 }')
((rossi > 100)) || fallito "no stop icon in the box ($rossi red pixels)"

premi_tasto "$riquadro" Return
attendi_fine 20 || fallito "the program is still running after the failure was confirmed"
log_record | grep -q "Premuto 'Installa'" || fallito "the log did not stay in C:\\Setup\\files"
[[ ! -e "$NOCE_DRIVE_C/Noce" ]] || fallito "something was installed"
echo "failed fetch under Wine: ok"
