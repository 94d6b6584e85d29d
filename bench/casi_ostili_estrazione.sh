# The extractor's cases of bench/casi_ostili.sh (sourced by it). Each archive
# is unpacked into a 256 MiB tmpfs of a private mount namespace, under
# strace, so that what the extractor writes is counted even when it deletes
# it afterwards, and a runaway fills the tmpfs, not the disk.

archivi_ostili() {
  [[ -e $lavoro/zip/bomba.zip ]] && return
  mkdir -p "$lavoro/zip"
  python3 "$qui/zip_ostili.py" "$lavoro/zip"
}

# Runs unzip.exe on ARCHIVE; leaves in $esiti: rc, scritti (bytes of all
# write calls on descriptors above 2), elenco (what is left, with modes)
# and messaggi.
estrai_limitato() {
  local archivio=$1
  esiti=$(mktemp -d "$lavoro/estrai-XXXXXX")
  mkdir "$esiti/disco"
  unshare -m bash -c '
    esiti=$1 build=$2 archivio=$3
    mount -t tmpfs -o size=256m tmpfs "$esiti/disco" || exit 1
    ( umask 022
      timeout 120 strace -f -qq -e trace=write,pwrite64,writev -e signal=none -o "$esiti/strace" \
        "$build/unzip.exe" -o "$archivio" -d "$esiti/disco/uscita" >"$esiti/messaggi" 2>&1
      echo $? >"$esiti/rc" )
    (cd "$esiti/disco/uscita" 2>/dev/null && find . -mindepth 1 -printf "%m %s %p\n" | sort) >"$esiti/elenco"
    umount "$esiti/disco"' _ "$esiti" "$build" "$archivio"
  python3 - "$esiti/strace" >"$esiti/scritti" <<'PY'
import re, sys
riga = re.compile(r"^\d+ +(?:write|pwrite64|writev)\((\d+),.* = (\d+)$")
somma = 0
for r in open(sys.argv[1], errors="replace"):
    m = riga.match(r.rstrip("\n"))
    if m and int(m.group(1)) > 2:
        somma += int(m.group(2))
print(somma, end="")
PY
}

mib() { awk -v b="$1" 'BEGIN { printf "%.1f MiB", b / 1048576 }'; }
# The extractor's own complaint when it has one, else its last line.
ultimo_messaggio() {
  { grep '^unzip' "$esiti/messaggi" || grep -v '^ *$' "$esiti/messaggi"; } | tail -n1 | sed "s|$lavoro/||g" | cut -c1-90
}

caso_estrai() {
  archivi_ostili
  estrai_limitato "$lavoro/zip/$1.zip"
  local rc scritti resti
  rc=$(cat "$esiti/rc")
  scritti=$(mib "$(cat "$esiti/scritti")")
  case $1 in
    bomba | sovrapposti)
      resti=$(awk '{ s += $2 } END { printf "%d", s }' "$esiti/elenco")
      echo "exit $rc, wrote $scritti, $(mib "$resti") left; \"$(ultimo_messaggio)\"" ;;
    modo)
      echo "exit $rc, mode $(awk '$3 == "./tutti.txt" { print $1 }' "$esiti/elenco") under umask 022" ;;
    nomi)
      echo "exit $rc, written: $(awk '{ sub(/^[^ ]+ [^ ]+ \.\//, ""); printf "[%s] ", $0 }' "$esiti/elenco")" ;;
  esac
}
