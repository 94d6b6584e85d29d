#!/usr/bin/env python3
# A download server that misbehaves in one chosen way, for
# bench/casi_ostili.sh. Prints its port alone on the first line, then serves
# every GET until killed. Whatever is asked for, the file is DATI (200,000
# bytes); what varies is how it is sent:
#   riprendi_stella  the first answer (200, 200,000) drops at 100,000; a
#                    Range request gets 206 "bytes 100000-100999/*" and 1,000
#                    bytes; a later request without Range gets the whole file
#   totale_diverso   as above, but the 206 says "bytes 100000-100009/100010"
#   senza_lunghezza  200 with neither length nor chunked; half, then close
#   gzip             200 with "Content-Encoding: gzip" nobody asked for
#   goccia           200 with the length, then one byte every 2 s
#   nove             "Content-Length: 99999999999999999999", half, close
#   buono            200 with the length and the whole file
#   bomba_gzip FILE  FILE (a gzip stream) as the body, Content-Encoding gzip
#   enorme           1 GiB of zeros with no length, then close
#   server_ostile.py MODE [FILE]
import gzip, socket, socketserver, sys, threading, time

DATI = bytes((i * 7 + i // 251) % 256 for i in range(200_000))
MODO = sys.argv[1]
FILE = sys.argv[2] if len(sys.argv) > 2 else None
stato = {"intere": 0}
blocco = threading.Lock()


def testa(linea, campi):
    return ("HTTP/1.1 " + linea + "\r\n" + "".join(k + ": " + v + "\r\n" for k, v in campi) + "\r\n").encode()


def leggi_richiesta(f):
    righe = []
    while True:
        r = f.readline(65536)
        if not r:
            return None
        if r in (b"\r\n", b"\n"):
            return righe
        righe.append(r.decode("latin-1").strip())


def ha_range(righe):
    return any(r.lower().startswith("range:") for r in righe[1:])


def rispondi(s, righe):
    print(" / ".join(r for r in righe if not r.lower().startswith(("host:", "user-agent:"))), file=sys.stderr, flush=True)
    lungo = ("Content-Length", str(len(DATI)))
    # A validator, without which a downloader does not try to resume.
    validi = [("ETag", '"dati-1"'), ("Last-Modified", "Wed, 09 Dec 2026 08:00:00 GMT")]
    if MODO in ("riprendi_stella", "totale_diverso"):
        if ha_range(righe):
            fine = 100999 if MODO == "riprendi_stella" else 100009
            totale = "*" if MODO == "riprendi_stella" else "100010"
            parte = DATI[100000:fine + 1]
            s.sendall(testa("206 Partial Content", [("Content-Length", str(len(parte))),
                                                    ("Content-Range", "bytes 100000-%d/%s" % (fine, totale))] + validi) + parte)
            return True
        with blocco:
            stato["intere"] += 1
            prima = stato["intere"] == 1
        if prima:
            s.sendall(testa("200 OK", [lungo] + validi) + DATI[:100000])
            return False
        s.sendall(testa("200 OK", [lungo] + validi) + DATI)
        return True
    if MODO == "senza_lunghezza":
        s.sendall(testa("200 OK", [("Connection", "close")]) + DATI[:100000])
        return False
    if MODO == "gzip":
        z = gzip.compress(DATI)
        s.sendall(testa("200 OK", [("Content-Length", str(len(z))), ("Content-Encoding", "gzip")]) + z)
        return True
    if MODO == "goccia":
        s.sendall(testa("200 OK", [lungo]))
        for b in DATI:
            s.sendall(bytes([b]))
            time.sleep(2)
        return True
    if MODO == "nove":
        s.sendall(testa("200 OK", [("Content-Length", "9" * 20)]) + DATI[:100000])
        return False
    if MODO == "bomba_gzip":
        z = open(FILE, "rb").read()
        s.sendall(testa("200 OK", [("Content-Length", str(len(z))), ("Content-Encoding", "gzip")]) + z)
        return True
    if MODO == "enorme":
        s.sendall(testa("200 OK", [("Connection", "close")]))
        zeri = bytes(1 << 20)
        for _ in range(1024):
            s.sendall(zeri)
        return False
    s.sendall(testa("200 OK", [lungo]) + DATI)
    return True


class Gestore(socketserver.BaseRequestHandler):
    def handle(self):
        f = self.request.makefile("rb")
        try:
            while True:
                righe = leggi_richiesta(f)
                if not righe or not rispondi(self.request, righe):
                    break
        except OSError:
            pass
        finally:
            try:
                self.request.shutdown(socket.SHUT_RDWR)
            except OSError:
                pass


class Server(socketserver.ThreadingTCPServer):
    daemon_threads = True
    allow_reuse_address = True


if __name__ == "__main__":
    if MODO == "scrivi_dati":  # the file every mode serves, for comparison
        open(FILE, "wb").write(DATI)
        sys.exit(0)
    srv = Server(("127.0.0.1", 0), Gestore)
    print(srv.server_address[1], flush=True)
    srv.serve_forever()
