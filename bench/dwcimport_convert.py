#!/usr/bin/env python3
"""Conversion bench of dwcimport.

Writes a GBIF simple download (tab-separated, GBIF's 50 columns) of ROWS
records over a few hundred species, with the usual share of records without
coordinates, flagged or absent, and a small database to convert it in; then
times `dwcimport` on it against `cut -f` of the same columns (the columns
dwcimport reads) measured in the same run, and prints both times, the rows
per second, their ratio and dwcimport's peak memory against the goals
(within 1.5 times cut, under 20 MB). The same download gzip-compressed is
timed against `gzip -dc | cut -f`.

    bench/dwcimport_convert.py [--rows 1000000] [--runs 3] [--no-gzip]
                               [--dwcimport build/bin/dwcimport] [--work DIR] [--keep]
"""
import argparse
import gzip
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

HEADER = (
    "gbifID datasetKey occurrenceID kingdom phylum class order family genus species infraspecificEpithet "
    "taxonRank scientificName verbatimScientificName verbatimScientificNameAuthorship countryCode locality "
    "stateProvince occurrenceStatus individualCount publishingOrgKey decimalLatitude decimalLongitude "
    "coordinateUncertaintyInMeters coordinatePrecision elevation elevationAccuracy depth depthAccuracy "
    "eventDate day month year taxonKey speciesKey basisOfRecord institutionCode collectionCode catalogNumber "
    "recordNumber identifiedBy dateIdentified license rightsHolder recordedBy typeStatus establishmentMeans "
    "lastInterpreted mediaType issue").split()
READ = ["species", "scientificName", "occurrenceStatus", "basisOfRecord", "decimalLatitude", "decimalLongitude",
        "coordinateUncertaintyInMeters", "stateProvince", "issue", "genus", "eventDate", "year"]
BASES = ["HUMAN_OBSERVATION"] * 6 + ["PRESERVED_SPECIMEN"] * 2 + ["MACHINE_OBSERVATION", "MATERIAL_SAMPLE"]
PROVINCES = ["Hokkaido", "Tokyo", "Kyoto", "Osaka", "Okinawa", "Nagano", "Kagoshima", "Aomori"]


def write_download(path, rows, species_count):
    rng = random.Random(20)
    names = [f"Genus{s // 7} epithet{s}" for s in range(species_count)]
    with open(path, "w", encoding="utf-8", newline="") as f:
        f.write("\t".join(HEADER) + "\n")
        for i in range(rows):
            name = names[rng.randrange(species_count)]
            r = dict.fromkeys(HEADER, "")
            r.update(gbifID=str(1000000000 + i), datasetKey="50c9509d-22c7-4a22-a47d-8c48425ef4a7",
                     occurrenceID=f"urn:catalog:bench:{i}", kingdom="Animalia", phylum="Arthropoda",
                     **{"class": "Insecta", "order": "Lepidoptera"}, family="Papilionidae",
                     genus=name.split()[0], species=name, taxonRank="SPECIES",
                     scientificName=name + " Author, 1900", verbatimScientificName=name,
                     countryCode="JP", locality="near the river", stateProvince=rng.choice(PROVINCES),
                     occurrenceStatus="PRESENT", basisOfRecord=rng.choice(BASES),
                     eventDate="2021-06-%02d" % (1 + i % 28), day=str(1 + i % 28), month="6", year="2021",
                     taxonKey=str(5000000 + i % species_count), license="CC_BY_4_0",
                     recordedBy="Observer %d" % (i % 500), lastInterpreted="2024-05-01T00:00:00.000Z",
                     issue="COORDINATE_ROUNDED;GEODETIC_DATUM_ASSUMED_WGS84")
            kind = rng.random()
            if kind < 0.9:
                r["decimalLatitude"] = "%.6f" % rng.uniform(31, 44)
                r["decimalLongitude"] = "%.6f" % rng.uniform(129, 145)
                r["coordinateUncertaintyInMeters"] = str(rng.choice([10, 30, 100, 1000, 25000]))
            elif kind < 0.93:
                r["issue"] = "ZERO_COORDINATE"
                r["decimalLatitude"] = r["decimalLongitude"] = "0.0"
            elif kind < 0.95:
                r["occurrenceStatus"] = "ABSENT"
            f.write("\t".join(r[h] for h in HEADER) + "\n")
    return names


def write_database(work, names):
    with open(os.path.join(work, "species.csv"), "w", newline="") as f:
        for s, name in enumerate(names[:-10], 1):  # ten names unknown to the table
            f.write(f"{s},{name},Author,1900,,0,,\r\n")
    with open(os.path.join(work, "area.csv"), "w", newline="") as f:
        for a, name in enumerate(PROVINCES, 1):
            f.write(f"{a},,,{name},N35,E139,0,0,F,,{name},,,\r\n")
    with open(os.path.join(work, "litera.csv"), "w", newline="") as f:
        f.write("S01,Author,2024,Bench download,,,,,\r\n")
    with open(os.path.join(work, "tavik.ini"), "w", newline="") as f:
        f.write("[Path]\r\nSpeciesTable=species.csv\r\nAreaTable=area.csv\r\nLiteraTable=litera.csv\r\n"
                "[Display]\r\nMeshGeodetic=WGS\r\n[Dwc]\r\nLiterature=S01\r\nMaxUncertainty=10000\r\n")


def timed(command, work, stdout):
    """Wall time and peak memory (kB) of a command; a string runs in the shell."""
    start = time.perf_counter()
    process = subprocess.Popen(command, cwd=work, stdout=stdout, stderr=subprocess.PIPE,
                               shell=isinstance(command, str))
    _, status, usage = os.wait4(process.pid, 0)
    elapsed = time.perf_counter() - start
    err = process.stderr.read().decode()
    process.stderr.close()
    if status != 0:
        sys.exit(f"{command} failed ({status}): {err}")
    return elapsed, usage.ru_maxrss


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--rows", type=int, default=1000000)
    parser.add_argument("--species", type=int, default=400)
    parser.add_argument("--runs", type=int, default=3)
    parser.add_argument("--dwcimport", default="build/bin/dwcimport")
    parser.add_argument("--work")
    parser.add_argument("--keep", action="store_true")
    parser.add_argument("--no-gzip", action="store_true")
    args = parser.parse_args()
    dwcimport = os.path.abspath(args.dwcimport)
    work = args.work or tempfile.mkdtemp(prefix="dwcimport-bench-")
    os.makedirs(work, exist_ok=True)
    try:
        download = os.path.join(work, "download.csv")
        names = write_download(download, args.rows, args.species)
        write_database(work, names)
        size = os.path.getsize(download)
        columns = ",".join(str(HEADER.index(c) + 1) for c in READ)
        cases = [("download.csv", ["cut", "-f", columns, "download.csv"], f"cut -f {len(READ)} cols")]
        if not args.no_gzip:
            with open(download, "rb") as plain, gzip.open(download + ".gz", "wb", compresslevel=6) as packed:
                shutil.copyfileobj(plain, packed)
            cases.append(("download.csv.gz", f"gzip -dc download.csv.gz | cut -f {columns}", "gzip -dc | cut -f"))
        print(f"{args.rows:,} records, {size / 1e6:.0f} MB ({size / args.rows:.0f} bytes a record); "
              f"best of {args.runs}; load {os.getloadavg()[0]:.2f}")
        for name, floor, floor_words in cases:
            convert_times, floor_times, peak = [], [], 0
            for _ in range(args.runs):
                with open(os.devnull, "w") as null:
                    elapsed, rss = timed([dwcimport, name, "input.csv"], work, null)
                convert_times.append(elapsed)
                peak = max(peak, rss)
                with open(os.path.join(work, "cut.txt"), "w") as out:
                    floor_times.append(timed(floor, work, out)[0])
            summary = subprocess.run([dwcimport, name, "input.csv"], cwd=work, capture_output=True,
                                     text=True, check=True).stdout
            written = next(line for line in summary.splitlines() if "書いた行" in line).split()[1]
            convert, cut = min(convert_times), min(floor_times)
            ratio = convert / cut
            print(f"-- {name}: {int(written):,} rows written")
            print(f"  dwcimport         {convert:6.2f} s  {args.rows / convert:12,.0f} records/s")
            print(f"  {floor_words:17s} {cut:6.2f} s  {args.rows / cut:12,.0f} records/s")
            print(f"  ratio             {ratio:6.2f}  (dwcimport / floor; goal <= 1.5: "
                  f"{'met' if ratio <= 1.5 else 'MISSED'})")
            print(f"  peak memory       {peak / 1024:6.1f} MB  (goal < 20 MB: {'met' if peak < 20 * 1024 else 'MISSED'})")
    finally:
        if not args.keep:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
