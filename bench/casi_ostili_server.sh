# The download server's cases of bench/casi_ostili.sh (sourced by it).

# noce-server on port 0 serving a folder with dati.bin; sets porta,
# pid_avviato and registro_server (its standard error: the log).
avvia_server() {
  local cartella
  cartella=$(mktemp -d "$lavoro/server-XXXXXX")
  mkdir -p "$cartella/radice"
  cp "$lavoro/dati.bin" "$cartella/radice/"
  registro_server=$cartella/porta.txt.err
  avvia_con_porta "$cartella/porta.txt" "$build/noce-server" --port 0 --root "$cartella/radice"
}

caso_server_lenti() {
  avvia_server || { echo "server did not start"; return; }
  python3 "$qui/clienti_ostili.py" lenti "$porta" "$1"
  ferma "$pid_avviato"
}

caso_server_muti() {
  avvia_server || { echo "server did not start"; return; }
  python3 "$qui/clienti_ostili.py" muti "$porta" "$1"
  ferma "$pid_avviato"
}

caso_server_corpo() {
  avvia_server || { echo "server did not start"; return; }
  python3 "$qui/clienti_ostili.py" corpo "$porta" "$1" "$pid_avviato"
  ferma "$pid_avviato"
}

caso_server_stop() {
  local radice
  radice=$(mktemp -d "$lavoro/radice-XXXXXX")
  python3 "$qui/clienti_ostili.py" stop "$build/noce-server" "$radice" "$1"
}

caso_server_crlf() {
  avvia_server || { echo "server did not start"; return; }
  python3 "$qui/clienti_ostili.py" crlf "$porta" "$registro_server"
  ferma "$pid_avviato"
}
