#!/usr/bin/env bash
# A fetch that fails: the server has everything but the archive. The cycle
# shows "Errore nello scarico dell'archivio." with the stop icon in a box
# titled "NOCE Installazione"; after Return the program is gone and its log
# stays in C:\Setup\files.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
contenuto="$PROVA_TMP/contenuto"
cp -r "$NOCE_BUILD/server-content" "$contenuto"
rm "$contenuto/download/FulcroNoceFiles.zip"
avvia_server "$contenuto"
prepara_drive
avvia_installatore

clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 0
punta 455 150 0
riquadro=$(attendi_finestra '^NOCE Installazione$' 120) || fallito "no box titled \"NOCE Installazione\""
sleep 0.3
geo=$(xwininfo -id "$riquadro")
bx=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$geo")
by=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$geo")
bw=$(awk '/Width:/ {print $NF}' <<<"$geo")
bh=$(awk '/Height:/ {print $NF}' <<<"$geo")
schermata "$PROVA_TMP/schermo.png"
"$CONVERT" "$PROVA_TMP/schermo.png" -crop "${bw}x$bh+$bx+$by" +repage "$SCHERMATE/scarico-fallito.png"
echo "screenshot: $SCHERMATE/scarico-fallito.png"
# the stop icon: a red disc at the left of the text
rossi=$(pixel_area "$SCHERMATE/scarico-fallito.png" 0 0 60 "$bh" | awk '$1 > 150 && $2 < 100 && $3 < 100 { n++ } END { print n + 0 }')
((rossi > 300)) || fallito "no stop icon in the box ($rossi red pixels)"
# centred over the window
((bx + bw / 2 - (FX + 463 / 2) <= 1 && FX + 463 / 2 - (bx + bw / 2) <= 1)) || fallito "box not centred over the window"

premi_tasto "$riquadro" Return
attendi_fine 10 || fallito "the program is still running after the failure was confirmed"
log_record | grep -q "Premuto 'Installa'" || fallito "the log did not stay in C:\\Setup\\files"
[[ ! -e "$NOCE_DRIVE_C/Noce" ]] || fallito "something was installed"
echo "failed fetch: ok"
