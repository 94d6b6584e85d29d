#!/usr/bin/env bash
# ./demo windows: the Windows build under Wine, the way ./demo runs the
# Linux one. Builds both (scripts/prepara.sh, scripts/prepara-windows.sh),
# makes a fresh Wine prefix in build-win/demo/prefisso with the installer in
# its C:\Setup, serves build-win/server-content with the Linux noce-server
# and runs the installer there.
#
# With a usable display you drive it yourself. Without one it runs under
# Xvfb and is driven as a person would: INSTALLA, then Return on the
# completion box; three screenshots of the window go to build-win/demo/.
# Either way it prints what was installed, read from the prefix, and exits 0
# only when the installation completed.
#
#   NOCE_BUILD=DIR NOCE_BUILD_WIN=DIR   use those builds as they are
set -euo pipefail

radice=$(cd "$(dirname "$0")/.." && pwd)
if [[ -n "${NOCE_BUILD:-}" && -n "${NOCE_BUILD_WIN:-}" ]]; then
    build=$(cd "$NOCE_BUILD" && pwd)
    build_win=$(cd "$NOCE_BUILD_WIN" && pwd)
else
    "$radice/scripts/prepara.sh"
    "$radice/scripts/prepara-windows.sh"
    build=$radice/build
    build_win=$radice/build-win
fi
uscita=$build_win/demo
mkdir -p "$uscita"
rm -f "$uscita"/*.png
lavoro=$(mktemp -d)
source "$radice/scripts/demo-comune.sh"
source "$radice/scripts/registro_wine.sh"

# ---- a fresh prefix, made as the Windows tests make their template -------------------
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset WINEARCH WINELOADER WINESERVER
prefisso=$uscita/prefisso
echo "Making a fresh Wine prefix in $prefisso."
NOCE_WINE_MODELLO=$prefisso "$radice/tests/wine/modello.sh" crea
export WINEPREFIX=$prefisso
# Wine's processes go before the X server they draw on.
demo_prima_di_fermare() {
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
}
export NOCE_DRIVE_C=$WINEPREFIX/drive_c
mkdir -p "$NOCE_DRIVE_C/Setup"
cp "$build_win/NoceInstallazione.exe" "$NOCE_DRIVE_C/Setup/"

avvia_server "$build/noce-server" "$build_win/server-content"
echo "Drive C: $NOCE_DRIVE_C"

avvia_installatore() {
    (cd "$NOCE_DRIVE_C/Setup" && exec wine NoceInstallazione.exe) >"$uscita/installatore.log" \
        2>"$uscita/installatore.err" &
    pid_inst=$!
}

inizio=$(date +%s.%N)
if schermo_presente; then
    echo "The installer's window is on $DISPLAY: press INSTALLA (or ESCI)."
    avvia_installatore
    wait "$pid_inst" || true
    pid_inst=""
else
    avvia_xvfb
    avvia_installatore
    fin=""
    for ((i = 0; i < 600; i++)); do
        fin=$(finestra "^$TITOLO\$")
        [[ -n "$fin" ]] && break
        sleep 0.1
    done
    [[ -n "$fin" ]] || { echo "demo: the installer's window did not appear" >&2; cat "$uscita/installatore.err" >&2; exit 1; }
    sleep 1
    # The whole window with the frame Wine draws; its client area starts 3
    # pixels right and 22 below.
    geo=$(xwininfo -id "$fin")
    ox=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$geo")
    oy=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$geo")
    ow=$(awk '/Width:/ {print $NF}' <<<"$geo")
    oh=$(awk '/Height:/ {print $NF}' <<<"$geo")
    fx=$((ox + 3)) fy=$((oy + 22))
    schermata "$uscita/1-pronto.png" "$ox" "$oy" "$ow" "$oh"
    echo "Choosing \"Versione ESTESA\", pressing INSTALLA."
    xdotool mousemove $((fx + 212)) $((fy + 128)) click 1
    sleep 0.3
    inizio=$(date +%s.%N)
    xdotool mousemove $((fx + 340)) $((fy + 172)) click 1
    sleep 0.2
    xdotool mousemove $((fx + 455)) $((fy + 150))
    sleep 2.5
    schermata "$uscita/2-in-corso.png" "$ox" "$oy" "$ow" "$oh"
    attendi_riquadro
    schermata "$uscita/3-$([[ "$titolo" == NOCE ]] && echo completata || echo errore).png" "$ox" "$oy" "$ow" "$oh"
    # The font batch starts minimized with the focus: the completion box
    # comes up behind it.
    conferma_riquadro attiva
    fine_processo 60 || { echo "demo: the installer did not end after the message" >&2; exit 1; }
fi
durata=$(secondi_da "$inizio")

# ---- what was installed, read from the prefix --------------------------------------------
noce=$(sul_drive 'C:\Noce' || true)
if [[ -z "$noce" ]]; then
    echo
    echo "The installation did not complete: C:\\Noce does not exist."
    log=$(sul_drive 'C:\Setup\files\logInstallazione.txt' || true)
    [[ -n "$log" ]] && { echo "Installation log ($log):"; tr -d '\r' <"$log" | grep -v '^$' | sed 's/^/  /'; }
    exit 1
fi

echo
echo "Installed under Wine in $durata s. What is on the prefix's drive C: now:"
echo
echo "C:\\Noce"
albero "$noce"
echo
echo "Registered components (wine reg query HKLM\\Software\\Classes\\CLSID, 32-bit view):"
componenti=$(componenti_registrati)
for componente in nocebase.dll nocegrafica.ocx; do
    riga=$(componente_registrato "$componente" <<<"$componenti")
    echo "  ${riga:-$componente: not registered}"
done
echo
collegamenti 'C:\users\Public\Desktop\NOCE.lnk'
echo
echo "Font:"
font=$(sul_drive 'C:\windows\Fonts\fulcro.ttf' || true)
echo "  C:\\windows\\Fonts\\fulcro.ttf: $([[ -n "$font" ]] && echo "$(stat -c %s "$font") bytes" || echo missing)"
valore=$(wine reg query 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v 'Fulcro (True Type)' 2>/dev/null |
    tr -d '\r' | awk '/REG_SZ/ { sub(/^ +/, ""); print }' || true)
echo "  HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts: ${valore:-missing}"
echo
marcatore_edizione
echo
cartella_installatore NoceInstallazione.exe
ls "$uscita"/*.png >/dev/null 2>&1 && echo "Screenshots: $(ls "$uscita"/*.png | tr '\n' ' ')"

[[ -n "$marcatore" && -z "$rimasti" && -f "$noce/noce.exe" ]]
