#!/usr/bin/env bash
# Hover feedback in the real window: a button under the pointer shows its
# highlighted face (navy frame); the window background and the edition
# panel bring back the normal faces ((61,61,67) frame); labels, the
# FULCRO lettering and the option buttons change nothing.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
prepara_drive
avvia_installatore

percorri_hover hover-installa.png <<'TABELLA'
200 205 N N the bare window background
340 172 A N INSTALLA
420 172 A A ESCI, straight from INSTALLA
60 176 A A the operating-system line
100 20 A A an instruction line
450 50 A A the FULCRO lettering
60 128 A A an option button
420 140 N N the edition panel
420 172 N A ESCI
455 150 N N the window background
TABELLA
echo "hover: ok"
