# Shared by ./demo and scripts/demo-windows.sh: the processes a demo starts
# and stops on every way out, the download server, an X server when there
# is no display, screenshots, and waiting for the installer. Sourced.
#
# The caller sets `uscita` (where screenshots and logs go) and `lavoro` (a
# scratch folder, removed at the end) before using these; `pid_inst` is
# the installer's process.
pid_server="" pid_xvfb="" pid_inst=""
CONVERT=/usr/bin/convert   # ImageMagick itself, whatever else is on PATH
IMPORT=/usr/bin/import
TITOLO="NOCE Installazione 3.4"

ferma() {
    local pid=$1 i
    kill "$pid" 2>/dev/null || return 0
    for ((i = 0; i < 30; i++)); do
        [[ -e /proc/$pid && "$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)" != Z ]] || break
        sleep 0.1
    done
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}

# Runs `demo_prima_di_fermare` (if the caller defines it), then stops what
# the demo started.
pulisci() {
    local rc=$?
    declare -F demo_prima_di_fermare >/dev/null && demo_prima_di_fermare
    for p in "$pid_inst" "$pid_server" "$pid_xvfb"; do
        [[ -n "$p" ]] && ferma "$p"
    done
    rm -rf "$lavoro"
    exit $rc
}
trap pulisci EXIT
trap 'exit 130' INT TERM HUP

# noce-server over a content folder on a free loopback port; sets
# NOCE_SERVER.
avvia_server() {
    local server=$1 radice=$2 porta="" i
    "$server" --port 0 --root "$radice" >"$lavoro/server.out" 2>"$uscita/server.log" &
    pid_server=$!
    for ((i = 0; i < 100; i++)); do
        porta=$(head -n1 "$lavoro/server.out" 2>/dev/null || true)
        [[ "$porta" =~ ^[0-9]+$ ]] && break
        kill -0 "$pid_server" 2>/dev/null || break
        sleep 0.1
    done
    if ! [[ "$porta" =~ ^[0-9]+$ ]]; then
        echo "demo: the download server did not start:" >&2
        cat "$uscita/server.log" >&2
        exit 1
    fi
    export NOCE_SERVER=127.0.0.1:$porta
    echo "Download server: http://$NOCE_SERVER/ serving $radice"
}

# True when a person can see and drive the installer.
schermo_presente() { [[ -n "${DISPLAY:-}" ]] && xdpyinfo >/dev/null 2>&1; }

avvia_xvfb() {
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$lavoro/display" 2>"$uscita/xvfb.log" &
    pid_xvfb=$!
    local i
    for ((i = 0; i < 100; i++)); do
        [[ -s "$lavoro/display" ]] && break
        sleep 0.1
    done
    [[ -s "$lavoro/display" ]] || { echo "demo: Xvfb did not start" >&2; exit 1; }
    export DISPLAY=":$(tr -d '\n' <"$lavoro/display")"
    echo "No display: running the installer under Xvfb on $DISPLAY."
}

# The id of a visible window whose title matches one of the patterns.
finestra() {
    local nome
    for nome in "$@"; do
        xdotool search --onlyvisible --name "$nome" 2>/dev/null | head -n1 || true
    done | head -n1 || true
}

# A w x h rectangle of the screen at x, y into a PNG.
schermata() {
    local file=$1 x=$2 y=$3 w=$4 h=$5
    "$IMPORT" -window root "$lavoro/schermo.png"
    "$CONVERT" "$lavoro/schermo.png" -crop "${w}x$h+$x+$y" +repage "$file"
    echo "  screenshot: $file"
}

# Waits for the box that ends the run: the completion box is titled "NOCE",
# a failure report has another title. Sets `riquadro` and `titolo`.
attendi_riquadro() {
    local i
    riquadro=""
    for ((i = 0; i < 3000; i++)); do
        riquadro=$(finestra '^NOCE$' '^NOCE Installazione$' '^NoceInstallazione$')
        [[ -n "$riquadro" ]] && break
        [[ -e /proc/$pid_inst ]] || break
        sleep 0.1
    done
    if [[ -z "$riquadro" ]]; then
        echo "demo: no message appeared within five minutes, or the installer ended on its own." >&2
        exit 1
    fi
    sleep 0.3
    titolo=$(xdotool getwindowname "$riquadro")
}

# Presses Return on the box, as a person would; with "attiva", clicks its
# title bar first, as a person does with a box that came up behind
# another window.
conferma_riquadro() {
    if [[ "${1:-}" == attiva ]]; then
        local x y w
        x=$(xwininfo -id "$riquadro" | awk '/Absolute upper-left X/ {print $NF}')
        y=$(xwininfo -id "$riquadro" | awk '/Absolute upper-left Y/ {print $NF}')
        w=$(xwininfo -id "$riquadro" | awk '/Width:/ {print $NF}')
        xdotool mousemove $((x + w / 2)) $((y + 10)) click 1
        sleep 0.3
    fi
    echo "Message \"$titolo\" shown: pressing Return."
    xdotool windowfocus --sync "$riquadro" 2>/dev/null || xdotool windowfocus "$riquadro"
    sleep 0.2
    xdotool key Return
}

fine_processo() {
    local secondi=$1 i
    for ((i = 0; i < secondi * 10; i++)); do
        [[ -e /proc/$pid_inst && "$(awk '{print $3}' "/proc/$pid_inst/stat" 2>/dev/null)" != Z ]] || {
            wait "$pid_inst" 2>/dev/null || true
            pid_inst=""
            return 0
        }
        sleep 0.1
    done
    return 1
}

source "$(dirname "${BASH_SOURCE[0]}")/sul_drive.sh"

# A folder's tree, indented, names only.
albero() { (cd "$1" && find . -mindepth 1 | sort | sed -e 's|^\./||' | awk -F/ '{ printf "%*s%s\n", 2 * NF, "", $NF }'); }

secondi_da() { awk -v a="$1" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }'; }

# ---- what was installed, read from drive C: -----------------------------------------

# The two shortcuts and their targets as lnkinfo reads them; the first
# argument is the shared desktop's shortcut.
collegamenti() {
    local lnk host
    echo "Shortcuts (target as lnkinfo reads it):"
    for lnk in "$1" 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Fulcro\NOCE.lnk'; do
        if host=$(sul_drive "$lnk"); then
            echo "  $lnk -> $(lnkinfo "$host" | awk -F': ' '/Local path/ {print $2}')"
        else
            echo "  $lnk: missing"
        fi
    done
}

# Which edition marker C:\Noce holds; sets `marcatore`.
marcatore_edizione() {
    local m
    marcatore=""
    echo "Edition marker:"
    for m in ImpostaRidotto.max NoceImpostaEstesa.fulcro; do
        if sul_drive "C:\\Noce\\$m" >/dev/null; then
            marcatore=$m
            echo "  C:\\Noce\\$m ($([[ $m == ImpostaRidotto.max ]] && echo BASIC || echo ESTESA))"
        fi
    done
    [[ -n "$marcatore" ]] || echo "  none"
}

# What C:\Setup holds besides the installer (its file name); sets `rimasti`.
cartella_installatore() {
    rimasti=$(cd "$(sul_drive 'C:\Setup')" && ls -A | grep -vx "$1" || true)
    echo "Installer folder C:\\Setup: $([[ -z "$rimasti" ]] && echo "no working files left" || echo "left: $(tr '\n' ' ' <<<"$rimasti")")"
}
