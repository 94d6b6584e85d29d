# The cases of bench/casi_ostili.sh reached through the platform library
# (sourced by it): bench/sonda_piattaforma.cpp, built against the
# libnoce_platform.a of each build folder and the sources it was built from.

# Sets sonda to the probe for $build, building it the first time.
prepara_sonda() {
  local sorgenti
  sonda=$lavoro/sonda-$(echo "$build" | md5sum | cut -c1-8)
  [[ -x $sonda ]] && return 0
  sorgenti=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
  nice g++ -std=c++20 -O1 -I"$sorgenti" -I"$build/generated" -I"$build" -o "$sonda" \
    "$qui/sonda_piattaforma.cpp" "$build/platform/libnoce_platform.a" -lz -lpthread
}

caso_registro() {
  prepara_sonda || { echo "probe did not build"; return; }
  local drive
  drive=$(mktemp -d "$lavoro/registro-XXXXXX")
  NOCE_DRIVE_C=$drive "$sonda" registro | paste -sd ';' | sed 's/;/; /g'
}

# 1 GiB of zeros, gzip-compressed (about 1 MB), made once.
bomba_gzip() {
  [[ -e $lavoro/bomba.gz ]] && return
  python3 - "$lavoro/bomba.gz" <<'PY'
import sys, zlib
c = zlib.compressobj(9, zlib.DEFLATED, 31)
zeri = bytes(1 << 20)
with open(sys.argv[1], "wb") as f:
    for _ in range(1024):
        f.write(c.compress(zeri))
    f.write(c.flush())
PY
}

caso_http() {
  prepara_sonda || { echo "probe did not build"; return; }
  bomba_gzip
  local drive
  drive=$(mktemp -d "$lavoro/http-XXXXXX")
  avvia_con_porta "$drive/server.txt" python3 "$qui/server_ostile.py" "$1" "$lavoro/bomba.gz" || { echo "server did not start"; return; }
  local server=$pid_avviato
  NOCE_DRIVE_C=$drive NOCE_SERVER=127.0.0.1:$porta TMPDIR=$drive timeout 120 "$sonda" http /download/dati.bin
  [[ $? == 124 ]] && echo "killed after 120 s"
  ferma "$server"
}
