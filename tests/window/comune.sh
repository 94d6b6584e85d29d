# Shared by the real-window tests: a private X server, a fresh drive with
# the installer in C:\Setup, the download server, and ways to look at the
# screen and drive it as a person would. Sourced, never run.
#
# Needs: NOCE_BUILD (the build folder). Every test gets its own Xvfb on a
# free display and its own temporary folder; the trap stops all of it.
set -euo pipefail

: "${NOCE_BUILD:?NOCE_BUILD must name the build folder}"
CONVERT=/usr/bin/convert   # ImageMagick itself, whatever else is on PATH
IMPORT=/usr/bin/import
TITOLO="NOCE Installazione 3.4"

PROVA_TMP=$(mktemp -d "${TMPDIR:-/tmp}/noce-finestra.XXXXXX")
export NOCE_DRIVE_C="$PROVA_TMP/drive_c"
SCHERMATE="$NOCE_BUILD/screenshots"
mkdir -p "$SCHERMATE"
PID_XVFB="" PID_SERVER="" PID_INST=""

fallito() {
    echo "FAILED: $*" >&2
    exit 1
}

# Stops one of our processes: politely, then for sure.
ferma() {
    local pid=$1 i
    kill "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 30; i++)); do
        [[ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null || echo gone)" =~ ^(Z|gone)$ ]] && break
        sleep 0.1
    done
    if [[ -e /proc/$pid ]] && ! [[ "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" == Z ]]; then
        echo "pid $pid ($(cat /proc/$pid/comm 2>/dev/null)) ignored SIGTERM: $(grep State /proc/$pid/status)" >&2
        kill -9 "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
}

pulisci() {
    local rc=$?
    for p in "$PID_INST" "$PID_SERVER" "$PID_XVFB"; do
        [[ -n "$p" ]] && ferma "$p"
    done
    if ((rc != 0)) && [[ -f "$NOCE_DRIVE_C/Setup/files/logInstallazione.txt" ]]; then
        echo "--- installation log" >&2
        tr -d '\r' <"$NOCE_DRIVE_C/Setup/files/logInstallazione.txt" | grep -v '^$' >&2 || true
    fi
    if ((rc != 0)) && [[ -f "$PROVA_TMP/installatore.err" ]]; then
        echo "--- installer's standard error" >&2
        cat "$PROVA_TMP/installatore.err" >&2
    fi
    if ((rc != 0)) && [[ -s "$PROVA_TMP/xvfb.log" ]]; then
        echo "--- Xvfb ($DISPLAY)" >&2
        cat "$PROVA_TMP/xvfb.log" >&2
    fi
    rm -rf "$PROVA_TMP"
    exit $rc
}
trap pulisci EXIT
trap 'exit 130' INT TERM

# An X server of our own on a display nobody uses. The numbers are handed
# out in turn (20 to 119) under a lock shared by all the tests, so that two
# tests never race for one number and a number is not taken again while the
# server that had it may still be cleaning up its socket. -noreset: by
# default the server resets when its last client leaves, and a program
# started at that moment cannot connect.
avvia_xvfb() {
    local lock="${TMPDIR:-/tmp}/noce-finestra-xvfb" n i prova
    exec 9>"$lock.lock"
    flock 9
    n=$(cat "$lock.next" 2>/dev/null || echo 20)
    [[ "$n" =~ ^[0-9]+$ ]] || n=20
    for ((prova = 0; prova < 100; prova++)); do
        [[ -z "$PID_XVFB" ]] || break
        n=$((20 + (n - 20) % 100))
        if [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]]; then
            n=$((n + 1))
            continue
        fi
        Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset 2>"$PROVA_TMP/xvfb.log" &
        PID_XVFB=$!
        for ((i = 0; i < 100; i++)); do
            xdpyinfo -display ":$n" >/dev/null 2>&1 && break
            kill -0 "$PID_XVFB" 2>/dev/null || break
            sleep 0.1
        done
        if ! kill -0 "$PID_XVFB" 2>/dev/null || ! xdpyinfo -display ":$n" >/dev/null 2>&1; then
            ferma "$PID_XVFB"
            PID_XVFB=""
        fi
        n=$((n + 1))
    done
    echo "$n" >"$lock.next"
    flock -u 9
    exec 9>&-
    [[ -n "$PID_XVFB" ]] || fallito "Xvfb did not start: $(cat "$PROVA_TMP/xvfb.log")"
    export DISPLAY=":$((n - 1))"
}

# The download server over a content folder; sets NOCE_SERVER.
avvia_server() {
    local radice=${1:-$NOCE_BUILD/server-content}
    "$NOCE_BUILD/noce-server" --port 0 --root "$radice" >"$PROVA_TMP/server.out" 2>"$PROVA_TMP/server.err" &
    PID_SERVER=$!
    local i porta=""
    for ((i = 0; i < 100; i++)); do
        porta=$(head -n1 "$PROVA_TMP/server.out" 2>/dev/null || true)
        [[ "$porta" =~ ^[0-9]+$ ]] && break
        kill -0 "$PID_SERVER" 2>/dev/null || fallito "noce-server did not start: $(cat "$PROVA_TMP/server.err")"
        sleep 0.1
    done
    [[ "$porta" =~ ^[0-9]+$ ]] || fallito "noce-server printed no port"
    export NOCE_SERVER="127.0.0.1:$porta"
}

# A fresh drive with the installer in C:\Setup. Optional: the machine's
# settings as KEY=VALUE words (PlatformId, MajorVersion, MinorVersion,
# BuildNumber, Administrator), written before the first start.
prepara_drive() {
    mkdir -p "$NOCE_DRIVE_C/Setup" "$NOCE_DRIVE_C/Windows"
    cp "$NOCE_BUILD/NoceInstallazione" "$NOCE_DRIVE_C/Setup/"
    if (($#)); then
        local ini="[Machine]"$'\r\n' kv
        for kv in PlatformId=2 MajorVersion=6 MinorVersion=1 BuildNumber=7601 Administrator=yes; do
            local k=${kv%%=*} v=${kv#*=} arg
            for arg in "$@"; do [[ "${arg%%=*}" == "$k" ]] && v=${arg#*=}; done
            ini+="$k=$v"$'\r\n'
        done
        printf '%s' "$ini" >"$NOCE_DRIVE_C/Windows/noce-machine.ini"
    fi
}

# Starts the installer from C:\Setup and waits for its window; sets FIN
# (window id) and FX, FY (the client area's top-left on the screen).
avvia_installatore() {
    (cd "$NOCE_DRIVE_C/Setup" && exec ./NoceInstallazione) >"$PROVA_TMP/installatore.out" 2>"$PROVA_TMP/installatore.err" &
    PID_INST=$!
    FIN=$(attendi_finestra "^$TITOLO\$" 10) || fallito "no window titled \"$TITOLO\""
    geometria "$FIN"
    FX=$GX FY=$GY
}

# A window's place and size on the screen: GX, GY, GW, GH.
geometria() {
    local geo
    geo=$(xwininfo -id "$1")
    GX=$(awk '/Absolute upper-left X/ {print $NF}' <<<"$geo")
    GY=$(awk '/Absolute upper-left Y/ {print $NF}' <<<"$geo")
    GW=$(awk '/Width:/ {print $NF}' <<<"$geo")
    GH=$(awk '/Height:/ {print $NF}' <<<"$geo")
}

# A fresh drive for one more run in the same test (prepara_drive's words).
drive_nuovo() {
    rm -rf "$NOCE_DRIVE_C"
    prepara_drive "$@"
}

# The download server over a copy of a content folder without the archive.
avvia_server_senza_archivio() {
    local contenuto="$PROVA_TMP/contenuto"
    cp -r "$1" "$contenuto"
    rm "$contenuto/download/FulcroNoceFiles.zip"
    avvia_server "$contenuto"
}

# The id of a visible window whose title matches, waiting up to N seconds.
attendi_finestra() {
    local nome=$1 secondi=${2:-10} i id
    for ((i = 0; i < secondi * 10; i++)); do
        id=$(xdotool search --onlyvisible --name "$nome" 2>/dev/null | head -n1 || true)
        if [[ -n "$id" ]]; then
            echo "$id"
            return 0
        fi
        sleep 0.1
    done
    return 1
}

# True while the installer's process runs (not ended, not a zombie).
vivo() {
    local stato
    stato=$(awk '{print $3}' "/proc/$PID_INST/stat" 2>/dev/null || echo gone)
    [[ "$stato" != Z && "$stato" != gone ]]
}

# True once the installer's process has ended (reaped), within N seconds;
# ESITO holds its exit status.
attendi_fine() {
    local secondi=${1:-10} i stato
    for ((i = 0; i < secondi * 10; i++)); do
        stato=$(awk '{print $3}' "/proc/$PID_INST/stat" 2>/dev/null || echo gone)
        if [[ "$stato" == Z || "$stato" == gone ]]; then
            ESITO=0
            wait "$PID_INST" || ESITO=$?
            PID_INST=""
            return 0
        fi
        sleep 0.1
    done
    return 1
}

source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/sul_drive.sh"

# Pointer moves and clicks in the window's client coordinates.
punta() { xdotool mousemove "$((FX + $1))" "$((FY + $2))"; sleep "${3:-0.3}"; }
clicca() { punta "$1" "$2" 0.1; xdotool click 1; sleep "${3:-0.3}"; }

# Presses INSTALLA, moves the pointer off the buttons and waits up to N
# seconds for a box titled $1; RIQUADRO is its id.
installa_e_attendi() {
    clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 0
    punta 455 150 0
    RIQUADRO=$(attendi_finestra "^$1\$" "$2") || return 1
    sleep 0.5
}

# Gives a window the keyboard (there is no window manager to do it) and
# presses a key.
premi_tasto() {
    xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
    sleep 0.2
    xdotool key "$2"
}

# The whole screen into a PNG; `schermata_finestra` cuts the client area.
schermata() { "$IMPORT" -window root "$1"; }
schermata_finestra() {
    local tutto="$PROVA_TMP/schermo.png"
    schermata "$tutto"
    "$CONVERT" "$tutto" -crop "463x224+$FX+$FY" +repage "$1"
}

# "R,G,B" of one pixel of a PNG.
pixel() {
    "$CONVERT" "$1" -format '%[fx:int(255*p{'"$2"','"$3"'}.r+.5)],%[fx:int(255*p{'"$2"','"$3"'}.g+.5)],%[fx:int(255*p{'"$2"','"$3"'}.b+.5)]' info:
}

# Every pixel of a rectangle as lines "R G B".
pixel_area() {
    "$CONVERT" "$1" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- |
        sed -n 's/^[0-9]*,[0-9]*: *(\([0-9]*\),\([0-9]*\),\([0-9]*\).*/\1 \2 \3/p'
}

# How many pixels of a rectangle are close to a colour (each channel within 40).
conta_colore() {
    local file=$1 x=$2 y=$3 w=$4 h=$5 colore=$6
    pixel_area "$file" "$x" "$y" "$w" "$h" | awk -v c="$colore" '
        BEGIN { split(c, k, ",") }
        function d(a, b) { return a > b ? a - b : b - a }
        d($1, k[1]) <= 40 && d($2, k[2]) <= 40 && d($3, k[3]) <= 40 { n++ }
        END { print n + 0 }'
}

atteso_pixel() {
    local file=$1 x=$2 y=$3 colore=$4 cosa=$5 visto
    visto=$(pixel "$file" "$x" "$y")
    [[ "$visto" == "$colore" ]] || fallito "$cosa: pixel ($x,$y) is $visto, expected $colore"
}

# The installation log's records, one a line, without the date and time.
log_record() {
    tr -d '\r' <"$NOCE_DRIVE_C/Setup/files/logInstallazione.txt" | grep -v '^$' | cut -d'|' -f3-
}

# Checks a screenshot against a table on standard input, a region a line:
# x y w h | colour | at least that many pixels of it | what it is.
controlla_regioni() {
    local shot=$1 x y w h colore minimo cosa n
    while read -r x y w h colore minimo cosa; do
        n=$(conta_colore "$shot" "$x" "$y" "$w" "$h" "$colore")
        ((n >= minimo)) || fallito "$cosa: $n pixels of $colore in ${w}x$h+$x+$y, expected at least $minimo"
    done
}

# The ready state: the background, the hidden marquee bar, both normal
# faces, the instructions over the white lettering, the edition choice and
# the operating-system line.
controlla_pronto() {
    atteso_pixel "$1" 455 150 "$SFONDO" "window background"
    atteso_pixel "$1" 200 210 "$SFONDO" "hidden marquee bar"
    atteso_pixel "$1" "$INSTALLA_X" "$INSTALLA_Y" "$CORNICE_NORMALE" "INSTALLA's normal face"
    atteso_pixel "$1" "$ESCI_X" "$ESCI_Y" "$CORNICE_NORMALE" "ESCI's normal face"
    controlla_regioni "$1" <<'TABELLA'
8 8 100 25 0,0,128 40 "Premere:" in navy
24 40 300 30 0,0,128 150 "INSTALLA per installare NOCE," in navy
24 64 300 25 0,0,128 150 "ESCI per annullare l'installazione" in navy
130 25 210 40 255,255,255 150 white FULCRO behind the instructions
40 118 100 20 0,0,128 60 "Versione BASIC" in navy
8 168 120 18 0,0,128 30 operating-system line in navy
TABELLA
}

# How many pixels of the selected dot the option mark whose 13 x 13 box
# starts at (x, y) shows; a selected mark shows at least SEGNO_PIENO.
# The FLTK view's dot is dark blue.
SEGNO_PIENO=4
punti_segno() { conta_colore "$1" "$2" "$3" 13 13 24,72,140; }
BASIC_X=24 ESTESA_X=192 SEGNO_Y=122

# Chooses "Versione ESTESA" with a click; the marks must follow.
scegli_estesa() {
    clicca 212 128
    schermata_finestra "$PROVA_TMP/estesa.png"
    (($(punti_segno "$PROVA_TMP/estesa.png" $ESTESA_X $SEGNO_Y) >= SEGNO_PIENO)) || fallito "ESTESA not selected"
    (($(punti_segno "$PROVA_TMP/estesa.png" $BASIC_X $SEGNO_Y) == 0)) || fallito "BASIC still selected"
}

# Moves the pointer by a table on standard input (x y | INSTALLA's frame
# and ESCI's, N normal or A highlighted | where the pointer is) and checks
# both faces, and INSTALLA's gradient, at each step; the second step's
# screenshot is kept as $SCHERMATE/$1.
percorri_hover() {
    local N=$CORNICE_NORMALE A=$CORNICE_ACCESA passo=0 x y installa esci dove shot dentro
    while read -r x y installa esci dove; do
        passo=$((passo + 1))
        punta "$x" "$y"
        shot="$PROVA_TMP/passo$passo.png"
        schermata_finestra "$shot"
        [[ $passo == 2 ]] && cp "$shot" "$SCHERMATE/$1"
        atteso_pixel "$shot" "$INSTALLA_X" "$INSTALLA_Y" "${!installa}" "step $passo, pointer over $dove: INSTALLA"
        atteso_pixel "$shot" "$ESCI_X" "$ESCI_Y" "${!esci}" "step $passo, pointer over $dove: ESCI"
        if [[ $installa == A ]]; then dentro="227,247,255"; else dentro="240,241,242"; fi
        atteso_pixel "$shot" $((INSTALLA_X + 2)) $((INSTALLA_Y + 1)) "$dentro" "step $passo: INSTALLA's gradient"
    done
    echo "screenshot: $SCHERMATE/$1"
}

# ESCI in a state (pronto, rifiutato, dopo_installa: between INSTALLA and
# the cycle's first tick, the downloader fetched) ends the program at once
# and logs exactly one "Premuto 'Esci'", last.
esci_in() {
    local stato=$1 i esci
    case $stato in
    rifiutato) drive_nuovo Administrator=no ;;
    *) drive_nuovo ;;
    esac
    avvia_installatore
    if [[ $stato == dopo_installa ]]; then
        clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 0
        # the first tick is 2 s after the click, so ESCI comes well before it
        for ((i = 0; i < 15; i++)); do
            log_record | grep -q "Fine scarico Scaricatore" && break
            sleep 0.1
        done
        log_record | grep -q "Fine scarico Scaricatore" || fallito "$stato: the downloader was not fetched"
    fi
    clicca $((ESCI_X + 30)) $((ESCI_Y + 12)) 0
    attendi_fine 20 || fallito "$stato: the program is still running after ESCI"
    ((ESITO == 0)) || fallito "$stato: exit status $ESITO"
    esci=$(log_record | grep -c "^Premuto 'Esci'$" || true)
    ((esci == 1)) || fallito "$stato: $esci records \"Premuto 'Esci'\""
    [[ "$(log_record | tail -n1)" == "Premuto 'Esci'" ]] || fallito "$stato: something was logged after ESCI"
    if [[ $stato == dopo_installa ]]; then
        ! log_record | grep -q "lista.txt" || fallito "$stato: the cycle ticked before ESCI"
    else
        [[ "$(log_record)" == $'Inizio procedura\nPremuto \'Esci\'' ]] || fallito "$stato: log is $(log_record)"
    fi
    echo "ESCI $stato: ok"
}

# A box's screenshot into a file; how many of its pixels at the left are
# the red of a stop icon.
schermata_riquadro() {
    geometria "$1"
    schermata "$PROVA_TMP/schermo.png"
    "$CONVERT" "$PROVA_TMP/schermo.png" -crop "${GW}x$GH+$GX+$GY" +repage "$2"
    echo "screenshot: $2"
}
rossi_a_sinistra() {
    pixel_area "$1" 0 0 60 "$GH" | awk '$1 > 150 && $2 < 100 && $3 < 100 { n++ } END { print n + 0 }'
}

# Geometry of the design, in client pixels.
INSTALLA_X=304 INSTALLA_Y=160 ESCI_X=384 ESCI_Y=160   # top-left of the faces (73 x 25)
SFONDO="233,240,233"
CORNICE_NORMALE="61,61,67"
CORNICE_ACCESA="0,0,128"
