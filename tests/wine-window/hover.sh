#!/usr/bin/env bash
# Hover feedback in the Windows window under Wine: the face of the button
# under the pointer lights up (navy frame, blue gradient) and goes back to
# normal over the window background and the edition panel; an instruction
# line changes nothing. The pointer crosses the window as a person's would.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
prepara_drive
avvia_installatore

percorri_hover wine-hover-installa.png <<'TABELLA'
200 205 N N the bare window background
340 172 A N INSTALLA
420 172 A A ESCI, straight from INSTALLA
100 20 A A an instruction line
420 140 N N the edition panel
340 172 A N INSTALLA again
455 150 N N the window background
TABELLA
echo "hover under Wine: ok"
