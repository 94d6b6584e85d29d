#!/usr/bin/env bash
# A whole installation in the real window, as a person does it: choose
# "Versione ESTESA", press INSTALLA, wait, confirm the completion message
# with a click on its OK button. Then the drive holds the product, the registered components,
# both shortcuts, the font and its registry value, the ESTESA marker; the
# installer's folder holds nothing but the installer.
source "$(dirname "$0")/comune.sh"
avvia_xvfb
avvia_server
prepara_drive
avvia_installatore

scegli_estesa
installa_e_attendi 'NOCE' 120 || fallito "no completion message"
riquadro=$RIQUADRO
schermata "$SCHERMATE/installazione-fine.png"
echo "screenshot: $SCHERMATE/installazione-fine.png"
geometria "$riquadro"
xdotool mousemove --sync $((GX + GW - 49)) $((GY + GH - 21))
sleep 0.1
xdotool click 1
attendi_fine 30 || fallito "the program did not end after the completion message"
((ESITO == 0)) || fallito "exit status $ESITO"

while read -r percorso; do
    [[ -f "$(sul_drive "$percorso")" ]] || fallito "missing after the installation: $percorso"
done <<'TABELLA'
C:\Noce\noce.exe
C:\Noce\leggimi.txt
C:\Noce\Dati\esempio.dat
C:\Noce\Dati\Archivi\clienti.dat
C:\Noce\NoceImpostaEstesa.fulcro
C:\Windows\System32\nocebase.dll
C:\Windows\System32\nocegrafica.ocx
C:\Windows\Fonts\fulcro.ttf
C:\Users\Public\Desktop\NOCE.lnk
C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Fulcro\NOCE.lnk
TABELLA
! sul_drive 'C:\Noce\ImpostaRidotto.max' >/dev/null || fallito "the BASIC marker was written"
[[ ! -s "$(sul_drive 'C:\Noce\NoceImpostaEstesa.fulcro')" ]] || fallito "the ESTESA marker is not empty"

registro=$(tr -d '\r' <"$NOCE_DRIVE_C/registry.reg")
for componente in nocebase.dll nocegrafica.ocx; do
    grep -qiF "@=\"C:\\\\Windows\\\\System32\\\\$componente\"" <<<"$registro" || fallito "$componente not registered"
done
grep -qF '"Fulcro (True Type)"="fulcro.ttf"' <<<"$registro" || fallito "no registry value for the font"

for lnk in 'C:\Users\Public\Desktop\NOCE.lnk' 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Fulcro\NOCE.lnk'; do
    destinazione=$(lnkinfo "$(sul_drive "$lnk")" | awk -F': ' '/Local path/ {print $2}')
    [[ "${destinazione,,}" == 'c:\noce\noce.exe' ]] || fallito "$lnk points at '$destinazione'"
done

rimasti=$(cd "$NOCE_DRIVE_C/Setup" && ls -A)
[[ "$rimasti" == NoceInstallazione ]] || fallito "working files left in C:\\Setup: $(tr '\n' ' ' <<<"$rimasti")"
echo "whole installation: ok"
