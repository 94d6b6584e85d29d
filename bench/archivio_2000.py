#!/usr/bin/env python3
# The benchmarks' archive contents: 2,000 files, 200 MiB in all, in 40
# folders of 3 sub-folders each, written below the folder given.
#   bench/archivio_2000.py FOLDER
import os, random, sys
# Sizes around 100 KiB (200 MiB / 2,000); contents half text-like, half
# random, so that deflate has work to do and some entries shrink little.
random.seed(7)
radice = sys.argv[1]
parole = [b"noce", b"archivio", b"cliente", b"fattura", b"quantita", b"prezzo", b"Sorrento", b"0123456789"]
totale, obiettivo, n = 0, 200 * 1024 * 1024, 2000
for i in range(n):
    cartella = os.path.join(radice, "cartella%02d" % (i % 40), "sotto%d" % (i % 3))
    os.makedirs(cartella, exist_ok=True)
    resto = obiettivo - totale
    dim = resto // (n - i) if i == n - 1 else random.randint(20 * 1024, 2 * obiettivo // n - 20 * 1024)
    dim = min(dim, resto)
    if i % 2:
        dati = os.urandom(dim)
    else:
        dati = b" ".join(random.choice(parole) for _ in range(dim // 6 + 1))[:dim]
    with open(os.path.join(cartella, "file%04d.dat" % i), "wb") as f:
        f.write(dati)
    totale += dim
