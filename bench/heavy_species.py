#!/usr/bin/env python3
"""Adds a heavy species to a prepared sample working folder: 1,000 points
(latitude-longitude pairs and grid squares on Japan) and 200 filled-area
records, so that map saving is measured on a crowded map too; and, given a
second code, a crowded species of 18,000 latitude-longitude points, whose
marks the renderer's per-record cost is measured on (the settings then take
up to 18,000 records a species, so the heavy species' areas count too).

    bench/heavy_species.py WORK-FOLDER CODE [CROWDED-CODE]
"""
import os
import random
import sys

work, code = sys.argv[1], sys.argv[2]
rng = random.Random(5)
with open(os.path.join(work, "dbase", "species.csv"), "ab") as f:
    f.write(f"{code},Heavy species,Bench,2026,,0,,\r\n".encode("cp932"))
fields = [code]
for _ in range(1000):
    if rng.random() < 0.5:
        lat, lon = rng.uniform(31.5, 43.0), rng.uniform(130.5, 144.5)
        fields.append(f"N{lat:.4f}E{lon:.4f}")
    else:
        fields.append(f"JP{rng.randint(4730, 6441)}{rng.randint(0, 7)}{rng.randint(0, 7)}")
    fields.append(rng.choice("ABCZ"))
for _ in range(200):
    fields.append(str(rng.randint(1, 47)))
    fields.append(rng.choice("ABCZ"))
with open(os.path.join(work, "dbase", "ta_vik.csv"), "ab") as f:
    f.write((",".join(fields) + "\r\n").encode("cp932"))

if len(sys.argv) > 3:
    # The viewer takes at most PointMaxPerSpecies records of a species.
    ini = os.path.join(work, "tavik.ini")
    with open(ini, "rb") as f:
        settings = f.read()
    if b"PointMaxPerSpecies=1000\r\n" not in settings:
        sys.exit(f"{ini}: no PointMaxPerSpecies=1000 line to raise")
    with open(ini, "wb") as f:
        f.write(settings.replace(b"PointMaxPerSpecies=1000\r\n", b"PointMaxPerSpecies=18000\r\n"))
    crowded = sys.argv[3]
    with open(os.path.join(work, "dbase", "species.csv"), "ab") as f:
        f.write(f"{crowded},Crowded species,Bench,2026,,0,,\r\n".encode("cp932"))
    fields = [crowded]
    for _ in range(18000):
        lat, lon = rng.uniform(31.5, 43.0), rng.uniform(130.5, 144.5)
        fields.append(f"N{lat:.4f}E{lon:.4f}")
        fields.append(rng.choice("ABCZ"))
    with open(os.path.join(work, "dbase", "ta_vik.csv"), "ab") as f:
        f.write((",".join(fields) + "\r\n").encode("cp932"))
