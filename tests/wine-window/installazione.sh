#!/usr/bin/env bash
# A whole installation of the Windows build under Wine, as a person does
# it: choose "Versione ESTESA", press INSTALLA, wait, confirm the completion
# box with Return. Then the prefix holds the archive's files byte for byte,
# both components registered by regsvr32 (their CLSID keys), the font in
# the fonts folder with its registry value, both shortcuts pointing at
# C:\noce\noce.exe, the ESTESA marker; C:\Setup holds the installer alone.
source "$(dirname "$0")/comune.sh"
richiede_contenuto_win
avvia_xvfb
avvia_server "$CONTENUTO_WIN"
prepara_drive
avvia_installatore

scegli_estesa
installa_e_attendi 'NOCE' 240 || fallito "no completion box"
riquadro=$RIQUADRO
[[ "$(testi_finestra NOCE | tail -n2)" == $'Installazione completata.\nRiavviare il computer.' ]] ||
    fallito "the completion box says: $(testi_finestra NOCE)"
schermata "$SCHERMATE/wine-installazione-fine.png"
echo "screenshot: $SCHERMATE/wine-installazione-fine.png"
attiva_finestra "$riquadro"
premi_tasto "$riquadro" Return
attendi_fine 60 || fallito "the program did not end after the completion box"
((ESITO == 0)) || fallito "exit status $ESITO"

# archive entry | where it is installed
archivio="$CONTENUTO_WIN/download/FulcroNoceFiles.zip"
while read -r voce percorso; do
    installato=$(sul_drive "$percorso") || fallito "missing after the installation: $percorso"
    cmp -s <(unzip -p -C "$archivio" "$voce") "$installato" || fallito "$percorso differs from $voce in the archive"
done <<'TABELLA'
noce.exe C:\Noce\noce.exe
leggimi.txt C:\Noce\leggimi.txt
Dati/esempio.dat C:\Noce\Dati\esempio.dat
clienti.dat C:\Noce\Dati\Archivi\clienti.dat
nocebase.dll C:\windows\syswow64\nocebase.dll
nocegrafica.ocx C:\windows\syswow64\nocegrafica.ocx
fulcro.ttf C:\windows\Fonts\fulcro.ttf
TABELLA

marcatore=$(sul_drive 'C:\Noce\NoceImpostaEstesa.fulcro') || fallito "no ESTESA marker"
[[ ! -s "$marcatore" ]] || fallito "the ESTESA marker is not empty"
! sul_drive 'C:\Noce\ImpostaRidotto.max' >/dev/null || fallito "the BASIC marker was written"

componenti=$(componenti_registrati)
for componente in nocebase.dll nocegrafica.ocx; do
    clsid=$(componente_registrato "$componente" <<<"$componenti" | cut -d' ' -f1)
    [[ "$clsid" =~ ^\{[0-9A-Fa-f-]{36}\}$ ]] || fallito "$componente has no CLSID key naming it"
    echo "$componente registered as $clsid"
done
font=$(wine reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Fulcro (True Type)' 2>/dev/null | tr -d '\r')
grep -q 'REG_SZ *fulcro\.ttf$' <<<"$font" || fallito "no registry value for the font: $font"

for lnk in 'C:\users\Public\Desktop\NOCE.lnk' 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Fulcro\NOCE.lnk'; do
    host=$(sul_drive "$lnk") || fallito "missing: $lnk"
    destinazione=$(lnkinfo "$host" | awk -F': ' '/Local path/ {print $2}')
    [[ "${destinazione,,}" == 'c:\noce\noce.exe' ]] || fallito "$lnk points at '$destinazione'"
done

rimasti=$(cd "$NOCE_DRIVE_C/Setup" && ls -A)
[[ "$rimasti" == NoceInstallazione.exe ]] || fallito "working files left in C:\\Setup: $(tr '\n' ' ' <<<"$rimasti")"
echo "whole installation under Wine: ok"
