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

# A whole installation by the demo of the build's sources (under Xvfb),
# from a folder of links to the build's programs, so that its screenshots
# and logs stay out of the build folder. Counts the installer's zombie
# children while it runs (they stay until it ends).
caso_zombie() {
  local sorgenti scena inst="" massimo=0 nomi="" t0
  sorgenti=$(sed -n 's/^CMAKE_HOME_DIRECTORY:INTERNAL=//p' "$build/CMakeCache.txt")
  scena=$(mktemp -d "$lavoro/demo-XXXXXX")
  mkdir "$scena/build"
  for e in "$build"/*; do [[ $(basename "$e") == demo ]] || ln -s "$e" "$scena/build/"; done
  NOCE_DRIVE_C=$scena/drive NOCE_BUILD=$scena/build timeout 180 "$sorgenti/demo" >"$scena/demo.txt" 2>&1 &
  local demo=$!
  t0=$(date +%s)
  while kill -0 "$demo" 2>/dev/null; do
    [[ -z $inst ]] && for f in /proc/[0-9]*; do
      [[ $(readlink "$f/exe" 2>/dev/null) == "$scena/drive/Setup/NoceInstallazione" ]] && inst=${f#/proc/} && break
    done
    if [[ -n $inst ]]; then
      local z
      z=$(ps -o stat=,comm= --ppid "$inst" | awk '$1 ~ /^Z/ { print $2 }')
      if (($(grep -c . <<<"$z") > massimo)); then
        massimo=$(grep -c . <<<"$z")
        nomi=$(paste -sd ' ' <<<"$z")
      fi
    fi
    sleep 0.5
  done
  wait "$demo"
  local rc=$?
  echo "most zombie children at once: $massimo${nomi:+ ($nomi)}; demo exit $rc, $(($(date +%s) - t0)) s"
}
