#!/usr/bin/env python3
# Hostile clients of noce-server, for bench/casi_ostili.sh; each prints one
# line of result.
#   clienti_ostili.py lenti PORT N   N clients sending one header byte a second,
#                                    then a normal GET: served, and in how long
#   clienti_ostili.py muti PORT N    the same with N clients that send nothing
#   clienti_ostili.py corpo PORT MIB PID   a MIB MiB request body; the server's
#                                    RSS before and after, and its peak
#   clienti_ostili.py stop SERVER ROOT N   N starts, each stopped by SIGTERM as
#                                    soon as the port is printed: how many hang
#   clienti_ostili.py crlf PORT LOG  a path holding %0d%0a: is a log line forged
import os, signal, socket, subprocess, sys, threading, time

ATTESA = 10  # seconds a normal client waits to be served
TENUTA = 10  # seconds more the slow clients go on after it


def normale(porta):
    t0 = time.monotonic()
    try:
        s = socket.create_connection(("127.0.0.1", porta), timeout=ATTESA)
        s.settimeout(ATTESA)
        s.sendall(b"GET /dati.bin HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
        r = s.recv(64)
        s.close()
        if r.startswith(b"HTTP/1."):
            return "served (%s) in %.2f s" % (r.split(b"\r\n")[0].decode(errors="replace")[9:12], time.monotonic() - t0)
        return "closed with no answer after %.2f s" % (time.monotonic() - t0)
    except OSError as e:
        return "NOT served in %.1f s (%s)" % (time.monotonic() - t0, type(e).__name__)


def ostili(porta, n, gocciola):
    fermi = threading.Event()
    chiusi = [0]

    def cliente():
        try:
            s = socket.create_connection(("127.0.0.1", porta), timeout=5)
        except OSError:
            return
        testo = b"GET /dati.bin HTTP/1.1\r\nX-Lento: " + b"a" * 1000
        i = 0
        while not fermi.is_set():
            if gocciola:
                try:
                    s.sendall(testo[i % len(testo):i % len(testo) + 1])
                except OSError:
                    chiusi[0] += 1
                    return
                i += 1
            fermi.wait(1)
        s.close()

    fili = [threading.Thread(target=cliente, daemon=True) for _ in range(n)]
    for f in fili:
        f.start()
    time.sleep(2)
    esito = normale(porta)
    if gocciola:
        # Does the server ever give up on them? Give it TENUTA seconds.
        t0 = time.monotonic()
        while chiusi[0] < n and time.monotonic() - t0 < TENUTA:
            time.sleep(0.2)
        esito += "; %d of %d slow clients cut off within %d s" % (chiusi[0], n, TENUTA + 2)
    fermi.set()
    return esito


def rss(pid):
    campi = {}
    with open("/proc/%d/status" % pid) as f:
        for r in f:
            k, _, v = r.partition(":")
            campi[k] = int(v.split()[0]) // 1024 if v.strip().endswith("kB") else 0
    return campi.get("VmRSS", 0), campi.get("VmHWM", 0)


def corpo(porta, mib, pid):
    prima, _ = rss(pid)
    s = socket.create_connection(("127.0.0.1", porta), timeout=10)
    s.sendall(b"POST /dati.bin HTTP/1.1\r\nHost: x\r\nContent-Length: %d\r\n\r\n" % (mib << 20))
    blocco, mandati, risposta = bytes(1 << 20), 0, "none"
    try:
        for _ in range(mib):
            s.sendall(blocco)
            mandati += 1
    except OSError as e:
        risposta = type(e).__name__
    try:  # what the server said, if anything, before it closed
        risposta = s.recv(64).split(b"\r\n")[0].decode(errors="replace") or risposta
    except OSError:
        pass
    s.close()
    time.sleep(0.5)
    dopo, picco = rss(pid)
    return "RSS %d -> %d MiB (peak %d); %d MiB sent, answer: %s" % (prima, dopo, picco, mandati, risposta)


def stop(server, radice, n):
    appesi = 0
    for _ in range(n):
        p = subprocess.Popen([server, "--port", "0", "--root", radice], stdout=subprocess.PIPE,
                             stderr=subprocess.DEVNULL)
        p.stdout.readline()
        p.send_signal(signal.SIGTERM)
        try:
            p.wait(3)
        except subprocess.TimeoutExpired:
            appesi += 1
            p.kill()
            p.wait()
    return "%d of %d hung (no exit 3 s after SIGTERM)" % (appesi, n)


def crlf(porta, registro):
    s = socket.create_connection(("127.0.0.1", porta), timeout=5)
    s.sendall(b"GET /a%0d%0aFALSO%20127.0.0.1%20%22GET%20/segreto%22%20200 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n")
    try:
        s.recv(4096)
    except OSError:
        pass
    s.close()
    time.sleep(0.5)
    righe = open(registro, "rb").read().split(b"\n")
    falsa = [r for r in righe if r.startswith(b"FALSO")]
    if falsa:
        return "FORGED line: %s" % falsa[0][:50].decode(errors="replace")
    mia = [r for r in righe if b"FALSO" in r]
    return "no forged line; logged as: %s" % (mia[0][-90:].decode(errors="replace") if mia else "(not logged)")


if __name__ == "__main__":
    cosa = sys.argv[1]
    if cosa in ("lenti", "muti"):
        print(ostili(int(sys.argv[2]), int(sys.argv[3]), cosa == "lenti"))
    elif cosa == "corpo":
        print(corpo(int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])))
    elif cosa == "stop":
        print(stop(sys.argv[2], sys.argv[3], int(sys.argv[4])))
    elif cosa == "crlf":
        print(crlf(int(sys.argv[2]), sys.argv[3]))
