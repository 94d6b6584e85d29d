#!/usr/bin/env bash
# A large product installed from INSTALLA to the completion box, against the
# same work done by the standard tools. Not part of ./test.
#
#   bench/installazione_grande.sh BUILD [N]        (N files, default 20000)
#
# The product: N files of 16 KiB in 50 folders, one install list entry per
# file, plus the demo product (program, components, font), served by
# noce-server on 127.0.0.1. The floor is the pipeline's eight 2 s ticks plus
# `curl` of the three files, `unzip -o -q` of the archive and `cp -r` of the
# unpacked files. The installer runs under Xvfb, driven with xdotool; a
# watcher follows its log, its folder and its children and timestamps the
# phases (download, unpack, folders, copies, clean-up) and reads the peak
# resident size. Targets: ratio <= 1.25 at 20,000 and 32,000 files, run time
# per entry flat within 20 % from 2,000 to 32,000, peak RSS <= 64 MiB.
set -euo pipefail

radice=$(cd "$(dirname "$0")/.." && pwd)
[[ $# -ge 1 ]] || { echo "usage: $0 BUILD [N]" >&2; exit 2; }
export NOCE_BUILD=$(cd "$1" && pwd)
N=${2:-20000}
[[ "$N" =~ ^[0-9]+$ ]] && ((N >= 50 && N <= 32000)) || { echo "N must be 50 to 32000" >&2; exit 2; }
for p in "$NOCE_BUILD/NoceInstallazione" "$NOCE_BUILD/noce-server" "$NOCE_BUILD/server-content/download/lista.txt"; do
    [[ -e $p ]] || { echo "missing $p: build NoceInstallazione, noce-server and server_content first" >&2; exit 1; }
done
for p in curl unzip zip python3 xdotool Xvfb; do
    command -v "$p" >/dev/null || { echo "missing $p" >&2; exit 1; }
done

# On disk, like an installer's folder: TMPDIR must not be a memory file system.
# Runs one after the other should be some minutes apart, for the same reason
# the floor's files are kept until the end (see below).
source "$radice/tests/window/comune.sh"
lavoro=$PROVA_TMP/bench
contenuto=$lavoro/contenuto
mkdir -p "$lavoro/prodotto" "$contenuto"
cp -r "$NOCE_BUILD/server-content/." "$contenuto/"
adesso() { date +%s.%N; }
dividi() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", (b == 0 ? 0 : a / b) }'; }

# ---- The product: the demo archive's files and N more, the list naming them.
unzip -q "$NOCE_BUILD/server-content/download/FulcroNoceFiles.zip" -d "$lavoro/prodotto"
python3 - "$N" "$lavoro/prodotto" "$contenuto/download/lista.txt" <<'PY'
import os, random, sys
n, prodotto, lista = int(sys.argv[1]), sys.argv[2], sys.argv[3]
cartelle = ["Parte%02d" % c for c in range(50)]
rnd = random.Random(12)
voci = []
for c in cartelle:
    os.makedirs(os.path.join(prodotto, c), exist_ok=True)
for i in range(n):
    c = cartelle[i % 50]
    nome = "file%05d.dat" % i
    with open(os.path.join(prodotto, c, nome), "wb") as f:
        f.write(rnd.randbytes(16384))
    voci.append(("%s\\%s,AppPath" % (c, nome)).encode())
testo = open(lista, "rb").read()
cartelle_b = b"".join(c.encode() + b"\r\n" for c in cartelle)
file_b = b"".join(v + b"\r\n" for v in voci)
testo = testo.replace(b"</directories>", cartelle_b + b"</directories>", 1)
testo = testo.replace(b"</files>", file_b + b"</files>", 1)
open(lista, "wb").write(testo)
PY
(cd "$lavoro/prodotto" && zip -q -r "$contenuto/download/FulcroNoceFiles.zip" .)
echo "product: $N files of 16 KiB in 50 folders, archive $(du -m "$contenuto/download/FulcroNoceFiles.zip" | cut -f1) MiB"

avvia_xvfb
avvia_server "$contenuto"

# ---- The floor: the same fetches, unpacking and copies by the standard tools.
# Nothing is deleted until the end; the inodes freed before this run (an
# earlier run's clean-up) are left to age first, so that neither side pays
# for them.
base=$lavoro/base
mkdir -p "$base/setup" "$base/prodotto"
sync
sleep "${BENCH_ATTESA:-65}"
t0=$(adesso)
for f in lista.txt unzip.exe FulcroNoceFiles.zip; do
    curl -s -f -o "$base/setup/$f" "http://$NOCE_SERVER/download/$f"
done
t1=$(adesso)
unzip -o -q "$base/setup/FulcroNoceFiles.zip" -d "$base/setup/files"
t2=$(adesso)
cp -r "$base/setup/files/." "$base/prodotto/"
t3=$(adesso)
strumenti=$(awk -v a="$t0" -v b="$t3" 'BEGIN { print b - a }')
pavimento=$(awk -v s="$strumenti" 'BEGIN { print 16 + s }')
# Kept until the end: this disk may have no journal, and then ext4 skips
# inodes freed in the last minutes when it allocates new ones, so files
# deleted here would slow down every file the installer creates.
sync

# ---- The installer, from INSTALLA to the completion box.
prepara_drive
avvia_installatore
eventi=$lavoro/eventi
python3 - "$PID_INST" "$NOCE_DRIVE_C/Setup" "$eventi" <<'PY' &
# Follows the installer: the records that open each phase (read as they
# reach the log, which is written through before each step), the archive
# landing in the installer's folder, the extractor child ending, and the
# peak resident size of the installer and of its children.
import os, sys, time
pid, setup, uscita = int(sys.argv[1]), sys.argv[2], sys.argv[3]
segni = [(b"|Scarico Zip\r\n", "download"), (b"\\unzip\" -o ", "unpack"), (b"|Inizio installazione\r\n", "run"),
         (b"|Creazione Directories\r\n", "folders"), (b"|Installazione componenti\r\n", "components"),
         (b"|Copia dei files\r\n", "copies"), (b"|Installazione del font\r\n", "font")]
visti, picco, picco_figli, letti, coda = {}, 0, 0, 0, b""
log = os.path.join(setup, "files", "logInstallazione.txt")

def hwm(p):
    try:
        for riga in open("/proc/%d/status" % p):
            if riga.startswith("VmHWM:"): return int(riga.split()[1])
    except OSError: pass
    return 0

def vivo(p):
    try: return open("/proc/%d/stat" % p).read().rsplit(")", 1)[1].split()[0] != "Z"
    except OSError: return False

def riga(p):
    try: return open("/proc/%d/cmdline" % p, "rb").read()
    except OSError: return b""

def figli():
    try: return [int(x) for x in open("/proc/%d/task/%d/children" % (pid, pid)).read().split()]
    except OSError: return []

while os.path.exists("/proc/%d" % pid) and open("/proc/%d/stat" % pid).read().split()[2] != "Z":
    ora = time.time()
    try:
        with open(log, "rb") as f:
            f.seek(letti)
            nuovi = f.read()
        letti += len(nuovi)
        testo, coda = coda + nuovi, (coda + nuovi)[-200:]
        for segno, nome in segni:
            if nome not in visti and segno in testo: visti[nome] = ora
    except OSError: pass
    if "download" in visti and "downloaded" not in visti:
        if any(n.lower() == "transito.zip" for n in os.listdir(setup)): visti["downloaded"] = ora
    bimbi = [b for b in figli() if vivo(b)]
    estrattore = any(b"unzip" in riga(b) for b in bimbi)
    if "unpack" in visti and estrattore: visti.setdefault("unzip_running", ora)
    if "unzip_running" in visti and "unpacked" not in visti and not estrattore: visti["unpacked"] = ora
    picco = max(picco, hwm(pid))
    for b in bimbi: picco_figli = max(picco_figli, hwm(b))
    with open(uscita + ".tmp", "w") as f:
        for k, v in visti.items(): f.write("%s %.3f\n" % (k, v))
        f.write("rss %d\nrss_children %d\n" % (picco, picco_figli))
    os.replace(uscita + ".tmp", uscita)
    time.sleep(0.01)
PY
pid_osservatore=$!
# BENCH_PERF=FILE: a call-graph profile of the installer into FILE.
pid_perf=""
if [[ -n "${BENCH_PERF:-}" ]]; then
    perf record -q -g -F 499 -p "$PID_INST" -o "$BENCH_PERF" 2>"$lavoro/perf.err" &
    pid_perf=$!
fi

t_installa=$(adesso)
clicca $((INSTALLA_X + 30)) $((INSTALLA_Y + 12)) 0
punta 455 150 0
riquadro=$(attendi_finestra '^NOCE$' 1200) || fallito "no completion box"
t_riquadro=$(adesso)
grep -q '^font ' "$eventi" || fallito "the box came before the files were copied: $(log_record | tail -3)"
# BENCH_STRACE=FILE: the clean-up's system calls, with their wall time, into FILE.
if [[ -n "${BENCH_STRACE:-}" ]]; then
    strace -q -c -w -f -o "$BENCH_STRACE" -p "$PID_INST" &
    pid_strace=$!
fi
sleep 0.3
premi_tasto "$riquadro" Return
t_invio=$(adesso)
attendi_fine 600 || fallito "the installer did not end after the completion box"
t_fine=$(adesso)
((ESITO == 0)) || fallito "exit status $ESITO"
wait "$pid_osservatore" || true
[[ -z "$pid_perf" ]] || wait "$pid_perf" || true
[[ -z "${pid_strace:-}" ]] || wait "$pid_strace" || true
copiati=$(find "$NOCE_DRIVE_C/Noce" -name 'file*.dat' | wc -l)
((copiati == N)) || fallito "$copiati files in the product folder, $N expected"

# ---- Figures
e() { awk -v k="$1" '$1 == k { print $2 }' "$eventi"; }
durata() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.2f", b - a }'; }
per_voce() { awk -v a="$1" -v b="$2" -v n="$3" 'BEGIN { printf "%.1f", (b - a) * 1e6 / n }'; }
installatore=$(durata "$t_installa" "$t_riquadro")
cartelle=52   # the demo's two and the product's fifty
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
printf 'floor      %7.2f s  (16 s of ticks + tools %.2f s: curl %.2f, unzip %.2f, cp -r %.2f)\n' "$pavimento" \
    "$strumenti" "$(durata "$t0" "$t1")" "$(durata "$t1" "$t2")" "$(durata "$t2" "$t3")"
printf 'installer  %7.2f s  (INSTALLA to the completion box)\n' "$installatore"
printf 'ratio      %7.3f    (target <= 1.25)\n' "$(dividi "$installatore" "$pavimento")"
printf '%-10s %9s %12s\n' phase seconds "us/entry"
printf '%-10s %9s %12s\n' download "$(durata "$(e download)" "$(e downloaded)")" "$(per_voce "$(e download)" "$(e downloaded)" "$N")"
printf '%-10s %9s %12s\n' unpack "$(durata "$(e unpack)" "$(e unpacked)")" "$(per_voce "$(e unpack)" "$(e unpacked)" "$N")"
printf '%-10s %9s %12s  (per folder entry)\n' folders "$(durata "$(e folders)" "$(e components)")" \
    "$(per_voce "$(e folders)" "$(e components)" "$cartelle")"
printf '%-10s %9s %12s\n' copies "$(durata "$(e copies)" "$(e font)")" "$(per_voce "$(e copies)" "$(e font)" "$N")"
printf '%-10s %9s %12s\n' clean-up "$(durata "$t_invio" "$t_fine")" "$(per_voce "$t_invio" "$t_fine" "$N")"
printf '%-10s %9s %12s  (Inizio installazione to the box)\n' run "$(durata "$(e run)" "$t_riquadro")" \
    "$(per_voce "$(e run)" "$t_riquadro" "$N")"
printf 'peak RSS   installer %.1f MiB, its children (downloader, extractor) %.1f MiB  (target <= 64 MiB)\n' \
    "$(dividi "$(e rss)" 1024)" "$(dividi "$(e rss_children)" 1024)"
