# Shared by the Windows window tests: the X server, the screen and the
# drive checks of the Linux window tests (tests/window/comune.sh) over a
# fresh Wine prefix (tests/wine/comune.sh), whose drive C: is the drive
# looked at, with the Windows installer in C:\Setup. Sourced, never run.
#
# Needs: NOCE_BUILD (noce-server), NOCE_BUILD_WIN (the Windows programs and
# their server content), NOCE_WINE_MODELLO (the run's template prefix).
source "$(dirname "${BASH_SOURCE[0]}")/../window/comune.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../wine/comune.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/registro_wine.sh"
: "${NOCE_BUILD_WIN:?NOCE_BUILD_WIN must name the Windows build}"
[[ -f "$NOCE_BUILD_WIN/NoceInstallazione.exe" ]] || fallito "no $NOCE_BUILD_WIN/NoceInstallazione.exe"

# Inside the test's folder, so that the Linux tests' clean-up still finds
# the installation log when it reports a failure.
prefisso_wine "$PROVA_TMP/prefisso"
export NOCE_DRIVE_C="$WINEPREFIX/drive_c"
CONTENUTO_WIN="$NOCE_BUILD_WIN/server-content"

# For the tests that fetch: the Windows demo content (the Windows
# downloader, extractor and product) must have been built; a build that
# lacks it fails the test, it does not pass unseen.
richiede_contenuto_win() {
    local f
    for f in scaricatore.exe unzip.exe FulcroNoceFiles.zip lista.txt; do
        [[ -f "$CONTENUTO_WIN/download/$f" ]] ||
            fallito "no download/$f in $CONTENUTO_WIN: build build-win (scripts/prepara-windows.sh)"
    done
}

# Without a window manager Wine draws the frame itself: the client area
# starts this far right of and below the window's origin, and the frame
# ends this far beyond it.
BORDO_X=3 BORDO_Y=22 BORDO_FONDO=3

prepara_drive() {
    mkdir -p "$NOCE_DRIVE_C/Setup"
    cp "$NOCE_BUILD_WIN/NoceInstallazione.exe" "$NOCE_DRIVE_C/Setup/"
}
# Drive C: is the prefix's: only what the installer made goes.
drive_nuovo() {
    rm -rf "$NOCE_DRIVE_C/Setup" "$NOCE_DRIVE_C/Noce"
    prepara_drive
}

# The system draws the option mark: its selected dot is black, in the
# middle of the mark.
SEGNO_PIENO=10
punti_segno() { conta_colore "$1" $(($2 + 4)) $(($3 + 4)) 5 5 0,0,0; }

# The Windows version Wine reports to programs (win7, win10, winxp, ...).
versione_wine() {
    wine reg add 'HKCU\Software\Wine' /v Version /d "$1" /f >/dev/null 2>&1 || fallito "cannot set Wine's version to $1"
    wineserver -w
}

# Starts the installer from C:\Setup and waits for its window; sets FIN
# (window id), FX, FY (the client area's top-left on the screen) and
# OX, OY (the window's).
avvia_installatore() {
    (cd "$NOCE_DRIVE_C/Setup" && exec wine NoceInstallazione.exe) >"$PROVA_TMP/installatore.out" \
        2>"$PROVA_TMP/installatore.err" &
    PID_INST=$!
    FIN=$(attendi_finestra "^$TITOLO\$" 60) || fallito "no window titled \"$TITOLO\""
    geometria "$FIN"
    OX=$GX OY=$GY
    FX=$((OX + BORDO_X)) FY=$((OY + BORDO_Y))
    # The window is up before Form_Activate has run and painted.
    sleep 1
}

# A click on a window's title bar, which Wine draws: it becomes the active
# window and gets the keyboard, as a person's click gives it. The font batch
# starts minimized with the focus, and the box that comes after it is not
# active until then.
attiva_finestra() {
    geometria "$1"
    xdotool mousemove $((GX + GW / 2)) $((GY + BORDO_Y / 2)) click 1
    sleep 0.3
}

# What a window titled $1 says, as Windows sees it: the title, then the
# text of each control in it (a message box: its buttons and its text).
testi_finestra() {
    wine "$NOCE_BUILD_WIN/tests/wine-window/testi-finestra.exe" "$1" 2>/dev/null | tr -d '\r'
}
