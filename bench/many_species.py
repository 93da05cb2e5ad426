#!/usr/bin/env python3
"""Makes a copy of a prepared sample working folder whose species are the
sample's repeated COPIES times under new codes (code + 100000 x copy, the
scientific name with the copy's number), each with the records of the
species it repeats: 32 species become 1,536 with COPIES 48. The print
preview and printing are measured on it as one document.

    bench/many_species.py SAMPLE-FOLDER NEW-FOLDER [COPIES]
"""
import os
import shutil
import sys

sample, folder = sys.argv[1], sys.argv[2]
copies = int(sys.argv[3]) if len(sys.argv) > 3 else 48
if os.path.exists(folder):
    shutil.rmtree(folder)
shutil.copytree(sample, folder, ignore=shutil.ignore_patterns("maps", "explain", "*.pdf"))

def lines(name):
    with open(os.path.join(sample, "dbase", name), "rb") as f:
        return [line for line in f.read().split(b"\r\n") if line.strip()]

species = lines("species.csv")
distribution = lines("ta_vik.csv")
with open(os.path.join(folder, "dbase", "species.csv"), "wb") as out:
    for copy in range(copies):
        for row in species:
            code, rest = row.split(b",", 1)
            name, rest = rest.split(b",", 1)
            new = int(code) + 100000 * copy
            out.write(b"%d,%s %d,%s\r\n" % (new, name, copy + 1, rest) if copy else row + b"\r\n")
with open(os.path.join(folder, "dbase", "ta_vik.csv"), "wb") as out:
    for copy in range(copies):
        for row in distribution:
            code, _, rest = row.partition(b",")
            new = int(code) + 100000 * copy
            out.write(b"%d%s\r\n" % (new, b"," + rest if rest else b""))

ini = os.path.join(folder, "tavik.ini")
with open(ini, "rb") as f:
    settings = f.read()
# Room for every species in the tables.
settings = settings.replace(b"[Capacity]\r\n", b"[Capacity]\r\nSpeciesMax=%d\r\n" % (len(species) * copies + 100), 1)
with open(ini, "wb") as f:
    f.write(settings)
print(f"{folder}: {len(species) * copies} species")
