# The downloader's cases of bench/casi_ostili.sh (sourced by it).

ambiente_scarico=(NOCE_SCARICO_STALLO_S=5 NOCE_SCARICO_CONNESSIONE_S=3 NOCE_SCARICO_TENTATIVI=3 NOCE_SCARICO_PAUSA_MS=100)

# A drive with the downloader in C:\Setup; sets drive.
prepara_drive() {
  drive=$(mktemp -d "$lavoro/drive-XXXXXX")
  mkdir -p "$drive/Setup"
  cp "$build/scaricatore.exe" "$drive/Setup/"
}

# What the downloader left: its marker, the file against the one served.
esito_scarico() {
  local file=$drive/Setup/dati.bin stato=$1 secondi=$2 marcatore esito
  marcatore=$(tr -d '\r\n' <"$drive/Setup/scaricoincorso.max" 2>/dev/null || echo '(none)')
  if [[ ! -e $file ]]; then esito="no file"
  elif cmp -s "$file" "$lavoro/dati.bin"; then esito="$(stat -c %s "$file") B, right"
  else esito="$(stat -c %s "$file") B, WRONG"
  fi
  echo "marker $marcatore, $esito, exit $stato, ${secondi} s"
}

# scaricatore.exe against server_ostile.py in MODE.
caso_scarico() {
  local modo=$1 extra=() t0 stato
  [[ $modo == goccia ]] && extra=(NOCE_SCARICO_TENTATIVI=2 NOCE_SCARICO_FINESTRA_S=10 NOCE_SCARICO_SCADENZA_S=40)
  prepara_drive
  avvia_con_porta "$drive/server.txt" python3 "$qui/server_ostile.py" "$modo" || { echo "server did not start"; return; }
  local server=$pid_avviato
  t0=$(date +%s)
  env NOCE_DRIVE_C="$drive" NOCE_SERVER="127.0.0.1:$porta" "${ambiente_scarico[@]}" "${extra[@]}" \
    "$drive/Setup/scaricatore.exe" -download/dati.bin '-C:\Setup\dati.bin' >/dev/null 2>&1 &
  local scarico=$!
  while kill -0 "$scarico" 2>/dev/null && (($(date +%s) - t0 < cap)); do sleep 0.2; done
  if kill -0 "$scarico" 2>/dev/null; then
    # Read before the stop: a stopped downloader writes its 2.
    local marcatore
    marcatore=$(tr -d '\r\n' <"$drive/Setup/scaricoincorso.max" 2>/dev/null || echo '(none)')
    ferma "$scarico"
    ferma "$server"
    echo "STILL RUNNING at the cap: marker $marcatore after ${cap} s"
    return
  fi
  wait "$scarico"
  stato=$?
  ferma "$server"
  esito_scarico "$stato" $(($(date +%s) - t0))
}

# A link planted where the downloader writes: its marker's temporary name
# (the downloader runs as PID 1 of a new PID namespace, so the name is
# known: .scaricoincorso.max.1) or LogScarico.txt. Against a sound server.
caso_scarico_link() {
  local dove=$1 fuori stato
  prepara_drive
  fuori=$lavoro/fuori-$dove-$RANDOM.txt
  echo "outside, untouched" >"$fuori"
  if [[ $dove == marcatore ]]; then ln -s "$fuori" "$drive/Setup/.scaricoincorso.max.1"
  else ln -s "$fuori" "$drive/Setup/LogScarico.txt"
  fi
  avvia_con_porta "$drive/server.txt" python3 "$qui/server_ostile.py" buono || { echo "server did not start"; return; }
  local server=$pid_avviato
  env NOCE_DRIVE_C="$drive" NOCE_SERVER="127.0.0.1:$porta" "${ambiente_scarico[@]}" \
    timeout "$cap" unshare --pid --fork "$drive/Setup/scaricatore.exe" -download/dati.bin '-C:\Setup\dati.bin' >/dev/null 2>&1
  stato=$?
  ferma "$server"
  local marcatore
  marcatore=$(tr -d '\r\n' <"$drive/Setup/scaricoincorso.max" 2>/dev/null || echo '(none)')
  if [[ $(cat "$fuori") == "outside, untouched" ]]; then
    echo "outside file untouched; marker $marcatore, exit $stato"
  else
    echo "OUTSIDE FILE WRITTEN ($(head -c 40 "$fuori" | tr -d '\r' | tr '\n' ' ')); marker $marcatore, exit $stato"
  fi
}
