#!/usr/bin/env python3
# Hostile archives for bench/casi_ostili.sh, written into FOLDER:
#   bomba.zip        one entry that declares 1,000 bytes and inflates to 64 MiB
#   sovrapposti.zip  2,000 entries whose data is the same 1 MiB (one local
#                    entry; every central record points at it)
#   modo.zip         an entry with mode 0777
#   nomi.zip         CON, aux.txt, "punto.", "spazio " and an ordinary name
#   zip_ostili.py FOLDER
import os, struct, sys, zipfile, zlib

cartella = sys.argv[1]


def percorso(nome):
    return os.path.join(cartella, nome)


def bomba():
    with zipfile.ZipFile(percorso("bomba.zip"), "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr("bomba.bin", bytes(64 << 20))
    dati = bytearray(open(percorso("bomba.zip"), "rb").read())
    # The uncompressed size, in the local header and in the central record.
    struct.pack_into("<I", dati, 22, 1000)
    centrale = dati.rfind(b"PK\x01\x02")
    struct.pack_into("<I", dati, centrale + 24, 1000)
    open(percorso("bomba.zip"), "wb").write(dati)


def sovrapposti(n=2000):
    contenuto = bytes(range(256)) * 4096  # 1 MiB
    compresso = zlib.compressobj(9, zlib.DEFLATED, -15)
    dati = compresso.compress(contenuto) + compresso.flush()
    crc = zlib.crc32(contenuto)
    nome0 = b"f0000.bin"
    locale = struct.pack("<IHHHHHIIIHH", 0x04034B50, 20, 0, 8, 0, 0, crc, len(dati), len(contenuto),
                         len(nome0), 0) + nome0 + dati
    centrale = b""
    for i in range(n):
        nome = b"f%04d.bin" % i
        centrale += struct.pack("<IHHHHHHIIIHHHHHII", 0x02014B50, 20, 20, 0, 8, 0, 0, crc, len(dati),
                                len(contenuto), len(nome), 0, 0, 0, 0, 0, 0) + nome
    fine = struct.pack("<IHHHHIIH", 0x06054B50, 0, 0, n, n, len(centrale), len(locale), 0)
    open(percorso("sovrapposti.zip"), "wb").write(locale + centrale + fine)


def modo():
    with zipfile.ZipFile(percorso("modo.zip"), "w") as z:
        voce = zipfile.ZipInfo("tutti.txt")
        voce.create_system = 3
        voce.external_attr = 0o100777 << 16
        z.writestr(voce, b"chiunque scrive\n")


def nomi():
    with zipfile.ZipFile(percorso("nomi.zip"), "w") as z:
        for n in ("normale.txt", "CON", "aux.txt", "punto.", "spazio "):
            z.writestr(n, b"x\n")


bomba()
sovrapposti()
modo()
nomi()
