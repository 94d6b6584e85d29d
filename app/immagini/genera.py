#!/usr/bin/env python3
"""Draws the window's pictures: the icon, the hand pointer, the four button
faces and the marquee strip. The files it writes are committed beside it and
compiled into the installer; run it again only to change a picture.

Needs python3 (standard library only) and ImageMagick's convert for the JPEG.
"""
import math
import os
import struct
import subprocess
import sys
import tempfile
import zlib

QUI = os.path.dirname(os.path.abspath(__file__))
CONVERT = "/usr/bin/convert"  # the real ImageMagick, not a wrapper earlier on PATH

NAVY = (0, 0, 128)


# ---- PNG writer ------------------------------------------------------------

def _blocco(tipo, dati):
    return struct.pack(">I", len(dati)) + tipo + dati + struct.pack(">I", zlib.crc32(tipo + dati) & 0xFFFFFFFF)


def _png(larghezza, altezza, profondita, tipo_colore, righe, palette=None, trasparenza=None):
    grezzi = b"".join(b"\x00" + r for r in righe)  # filter "none" on every row
    out = b"\x89PNG\r\n\x1a\n"
    out += _blocco(b"IHDR", struct.pack(">IIBBBBB", larghezza, altezza, profondita, tipo_colore, 0, 0, 0))
    if palette is not None:
        out += _blocco(b"PLTE", b"".join(bytes(c) for c in palette))
    if trasparenza is not None:
        out += _blocco(b"tRNS", bytes(trasparenza))
    out += _blocco(b"IDAT", zlib.compress(grezzi, 9))
    out += _blocco(b"IEND", b"")
    return out


def png_rgb(pixel):
    """pixel: rows of (r, g, b)."""
    righe = [b"".join(bytes(p) for p in riga) for riga in pixel]
    return _png(len(pixel[0]), len(pixel), 8, 2, righe)


def png_tavolozza(pixel, bit):
    """pixel: rows of (r, g, b) or None for transparent; written with a
    palette of at most 2**bit entries, index 0 transparent."""
    colori = sorted({p for riga in pixel for p in riga if p is not None})
    if len(colori) + 1 > (1 << bit):
        raise SystemExit(f"{len(colori)} colours do not fit in {bit} bits")
    indice = {c: i + 1 for i, c in enumerate(colori)}
    palette = [(0, 0, 0)] + colori
    righe = []
    for riga in pixel:
        idx = [0 if p is None else indice[p] for p in riga]
        if bit == 8:
            righe.append(bytes(idx))
        else:
            per_byte = 8 // bit
            idx += [0] * (-len(idx) % per_byte)
            b = bytearray()
            for i in range(0, len(idx), per_byte):
                v = 0
                for k in range(per_byte):
                    v = (v << bit) | idx[i + k]
                b.append(v)
            righe.append(bytes(b))
    return _png(len(pixel[0]), len(pixel), bit, 3, righe, palette, [0] + [255] * len(colori))


# ---- The window icon: two curved chevrons pointing right -----------------------

def _in_gallone(x, y, punta, scala):
    """True inside one chevron of a 32-pixel design, scaled."""
    x, y = x / scala, y / scala
    v = (y - 15.5) / 13.0
    if abs(v) > 1:
        return False
    centro = punta - 10.0 * abs(v) ** 1.5  # swept-back arms: a curved chevron
    return centro - 6.5 <= x <= centro


def icona(lato):
    scala = lato / 32.0
    ombra = 2.0 * scala if lato >= 32 else 1.0
    n = 4  # samples per pixel side
    pixel = []
    for py in range(lato):
        riga = []
        for px in range(lato):
            blu = scuro = 0
            somma = [0, 0, 0]
            for sy in range(n):
                for sx in range(n):
                    x = px + (sx + 0.5) / n
                    y = py + (sy + 0.5) / n
                    if any(_in_gallone(x, y, p, scala) for p in (17.5, 29.0)):
                        blu += 1
                        t = y / lato  # light at the top, deep blue below
                        c = (int(120 - 100 * t), int(190 - 120 * t), 255 - int(50 * t))
                    elif any(_in_gallone(x - ombra, y - ombra, p, scala) for p in (17.5, 29.0)):
                        scuro += 1
                        c = (16, 24, 56)
                    else:
                        continue
                    for k in range(3):
                        somma[k] += c[k]
            coperti = blu + scuro
            if coperti * 2 < n * n:
                riga.append(None)
            else:
                # few enough colours for a 256-entry palette
                riga.append(tuple(min(255, (s // coperti) // 8 * 8 + 4) for s in somma))
        pixel.append(riga)
    return png_tavolozza(pixel, 8)


# ---- The hand pointer: white hand, black outline, index finger up --------------

MANO = [
    "          KK                    ",
    "         KWWK                   ",
    "         KWWK                   ",
    "         KWWK                   ",
    "         KWWK                   ",
    "         KWWK                   ",
    "         KWWKKK                 ",
    "         KWWKWWKKK              ",
    "         KWWKWWKWWKKK           ",
    "         KWWKWWKWWKWWK          ",
    "   KKK   KWWKWWKWWKWWK          ",
    "  KWWWK  KWWKWWKWWKWWK          ",
    "  KWWWWK KWWWWWWWWWWWK          ",
    "   KWWWWKKWWWWWWWWWWWK          ",
    "    KWWWWKWWWWWWWWWWWK          ",
    "     KWWWWWWWWWWWWWWWK          ",
    "     KWWWWWWWWWWWWWWWK          ",
    "      KWWWWWWWWWWWWWWK          ",
    "      KWWWWWWWWWWWWWGK          ",
    "       KWWWWWWWWWWWGK           ",
    "       KWWWWWWWWWWWGK           ",
    "        KWWWWWWWWWGK            ",
    "        KWWWWWWWWWGK            ",
    "        KKKKKKKKKKKK            ",
]


def mano():
    colori = {"K": (0, 0, 0), "W": (255, 255, 255), "G": (192, 192, 192), " ": None}
    righe = [r.ljust(32) for r in MANO] + [" " * 32] * (32 - len(MANO))
    # one row of air above the fingertip
    righe = [" " * 32] + righe[:31]
    return png_tavolozza([[colori[c] for c in r] for r in righe], 4)


# ---- The button faces -----------------------------------------------------------

# A small font with one-pixel strokes: nine rows, top of the tallest letter
# in row 0, baseline in row 8.
LETTERE = {
    "I": ["###", ".#.", ".#.", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    "E": ["####", "#...", "#...", "#...", "###.", "#...", "#...", "#...", "####"],
    "n": [".....", ".....", ".....", "#.##.", "##..#", "#...#", "#...#", "#...#", "#...#"],
    "s": ["....", "....", "....", ".###", "#...", ".##.", "...#", "...#", "###."],
    "t": ["....", ".#..", ".#..", "####", ".#..", ".#..", ".#..", ".#..", "..##"],
    "a": [".....", ".....", ".....", ".###.", "....#", ".####", "#...#", "#...#", ".####"],
    "l": ["#"] * 9,
    "c": ["....", "....", "....", ".###", "#...", "#...", "#...", "#...", ".###"],
    "i": [".", "#", ".", "#", "#", "#", "#", "#", "#"],
}
RIGA_TESTO = 6  # the letters occupy rows 6 to 14 of the face


def tasto(parola, cornice, alto, basso):
    larghezza, altezza = 73, 25
    pixel = []
    for y in range(altezza):
        t = (y - 1) / (altezza - 3)
        sfumato = tuple(round(alto[k] + (basso[k] - alto[k]) * t) for k in range(3))
        pixel.append([cornice if x in (0, larghezza - 1) or y in (0, altezza - 1) else sfumato
                      for x in range(larghezza)])
    glifi = [LETTERE[c] for c in parola]
    ampiezza = sum(len(g[0]) for g in glifi) + len(glifi) - 1
    x0 = (larghezza - ampiezza) // 2
    for g in glifi:
        for dy, riga in enumerate(g):
            for dx, c in enumerate(riga):
                if c == "#":
                    pixel[RIGA_TESTO + dy][x0 + dx] = NAVY
        x0 += len(g[0]) + 1
    return png_rgb(pixel)


NORMALE = ((61, 61, 67), (240, 241, 242), (200, 202, 204))
ACCESO = (NAVY, (227, 247, 255), (173, 214, 232))


# ---- The marquee strip ------------------------------------------------------------

def striscia(percorso):
    larghezza, altezza = 1386, 39
    base = (72, 61, 139)     # dark slate blue
    bagliore = (120, 170, 255)
    dati = bytearray()
    for y in range(altezza):
        verticale = math.exp(-((y - 19) / 10.0) ** 2)
        for x in range(larghezza):
            centro = math.exp(-((x - 693) / 300.0) ** 2)
            # soft slanted streaks, so that every step of the strip shows
            righe = 0.5 + 0.5 * math.sin(2 * math.pi * (x + 0.6 * y) / 42.0)
            a = verticale * (0.25 + 0.65 * centro) + 0.10 * righe * verticale
            ombra = 0.82 + 0.18 * verticale  # darker towards the edges
            dati += bytes(max(0, min(255, round((base[k] * (1 - a) + bagliore[k] * a) * ombra))) for k in range(3))
    with tempfile.TemporaryDirectory() as tmp:
        ppm = os.path.join(tmp, "striscia.ppm")
        with open(ppm, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (larghezza, altezza) + bytes(dati))
        subprocess.run([CONVERT, ppm, "-strip", "-quality", "92", "-sampling-factor", "1x1", percorso], check=True)


def scrivi(nome, dati):
    with open(os.path.join(QUI, nome), "wb") as f:
        f.write(dati)


def main():
    scrivi("icona16.png", icona(16))
    scrivi("icona32.png", icona(32))
    scrivi("mano.png", mano())
    scrivi("tasto_installa.png", tasto("Installa", *NORMALE))
    scrivi("tasto_installa_acceso.png", tasto("Installa", *ACCESO))
    scrivi("tasto_esci.png", tasto("Esci", *NORMALE))
    scrivi("tasto_esci_acceso.png", tasto("Esci", *ACCESO))
    striscia(os.path.join(QUI, "striscia.jpg"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
