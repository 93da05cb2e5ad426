#!/usr/bin/env python3
"""A species of 1,000,000 records, as a common species of a national data
set has: its map and its printed page.

Copies the prepared sample database (bench/run.sh makes it), adds a species
whose line of the distribution table holds RECORDS records (half of them
points, 40 % 1-km grid squares, 10 % prefectures filled) and a species
without records, sets PointMaxPerSpecies to RECORDS, and times
`tavik --save` of each species' map (24-bit PNG) and `tavik --print` of the
large species' page. The map time per record is the difference of the two
maps' CPU times divided by the records; the goal is at most 0.5 µs a record above
the empty map. The empty map's time (start-up, index, base image, PNG) is the
floor measured in the same run.

    bench/million_records.py WORK-FOLDER [--records 1000000] [--runs 3]
                             [--tavik build/bin/tavik] [--keep-map FILE.png]
"""
import argparse
import os
import random
import resource
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
# Codes above those bench/run.sh gives its heavy and crowded species.
LARGE, EMPTY = 9999996, 9999995


def add_species(work, records, seed):
    rng = random.Random(seed)
    dbase = os.path.join(work, "dbase")
    with open(os.path.join(dbase, "species.csv"), "rb") as f:
        taken = {line.split(b",", 1)[0] for line in f}
    for code in (LARGE, EMPTY):
        if str(code).encode() in taken:
            sys.exit(f"species code {code} is already in {dbase}/species.csv")
    with open(os.path.join(dbase, "species.csv"), "ab") as f:
        f.write(f"{LARGE},Communis vulgaris,Bench,2026,,0,,\r\n".encode("cp932"))
        f.write(f"{EMPTY},Rarissima nulla,Bench,2026,,0,,\r\n".encode("cp932"))
    parts = [str(LARGE)]
    for _ in range(records):
        kind = rng.random()
        if kind < 0.5:
            parts.append(f"N{rng.uniform(31.5, 43.0):.4f}E{rng.uniform(130.5, 144.5):.4f}")
        elif kind < 0.9:
            parts.append(f"JP{rng.randint(4730, 6441)}{rng.randint(0, 7)}{rng.randint(0, 7)}"
                         f"{rng.randint(0, 9)}{rng.randint(0, 9)}")
        else:
            parts.append(str(rng.randint(1, 47)))
        parts.append("ABCZ"[rng.randrange(4)])
    line = ",".join(parts) + "\r\n"
    with open(os.path.join(dbase, "ta_vik.csv"), "ab") as f:
        f.write(line.encode("ascii"))
        f.write(f"{EMPTY}\r\n".encode("ascii"))
    # The settings file is cp932 with CR LF line ends; the sample sets
    # PointMaxPerSpecies under [Capacity].
    ini_path = os.path.join(work, "tavik.ini")
    with open(ini_path, "rb") as f:
        ini = f.read().decode("cp932")
    lines = ini.split("\r\n")
    for i, text in enumerate(lines):
        if text.startswith("PointMaxPerSpecies="):
            lines[i] = f"PointMaxPerSpecies={records}"
        elif text.startswith("SpeciesMax="):
            lines[i] = f"SpeciesMax={int(text.split('=')[1]) + 2}"
    with open(ini_path, "wb") as f:
        f.write("\r\n".join(lines).encode("cp932"))
    return len(line)


def timed(command, cwd):
    """(wall seconds, CPU seconds) of one run of the command."""
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    run = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE)
    elapsed = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    if run.returncode != 0:
        sys.exit(f"{' '.join(command)} failed:\n{run.stderr.decode('utf-8', 'replace')}")
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return elapsed, cpu


def best(command, cwd, runs):
    """The best wall and the best CPU time of several runs."""
    times = [timed(command, cwd) for _ in range(runs)]
    return min(t[0] for t in times), min(t[1] for t in times)


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("work", help="the prepared sample database (bench/run.sh)")
    parser.add_argument("--records", type=int, default=1000000)
    parser.add_argument("--runs", type=int, default=3, help="runs of each; the best time counts")
    parser.add_argument("--tavik", default=os.path.join(HERE, "..", "build", "bin", "tavik"))
    parser.add_argument("--seed", type=int, default=3)
    parser.add_argument("--keep-map", help="copy the large species' map here, to look at")
    args = parser.parse_args()

    tavik = os.path.abspath(args.tavik)
    folder = tempfile.mkdtemp(prefix="million_records_")
    try:
        work = os.path.join(folder, "db")
        shutil.copytree(args.work, work, ignore=shutil.ignore_patterns("maps", "explain", "*.pdf", "tavik.lock"))
        line_bytes = add_species(work, args.records, args.seed)
        os.makedirs(os.path.join(work, "maps"), exist_ok=True)
        empty = best([tavik, "--save", "maps/e%C.png", str(EMPTY)], work, args.runs)
        large = best([tavik, "--save", "maps/m%C.png", str(LARGE)], work, args.runs)
        printed = best([tavik, "--print", "large.pdf", str(LARGE)], work, args.runs)
        if args.keep_map:
            shutil.copyfile(os.path.join(work, "maps", f"m{LARGE}.png"), args.keep_map)
        # CPU time decides: the wall time also holds the wait for the disk.
        per_record = (large[1] - empty[1]) / args.records * 1e6
        verdict = "met" if per_record <= 0.5 else "MISSED"
        print(f"a species of {args.records:,} records (a line of {line_bytes / 1e6:.1f} MB), "
              f"PointMaxPerSpecies={args.records}; best of {args.runs}, load {os.getloadavg()[0]:.2f}")
        print(f"                                    CPU ms   wall ms")
        print(f"map of the empty species (floor):  {empty[1] * 1000:7.0f}  {empty[0] * 1000:8.0f}")
        print(f"map of the large species:          {large[1] * 1000:7.0f}  {large[0] * 1000:8.0f}")
        print(f"print of the large species' page:  {printed[1] * 1000:7.0f}  {printed[0] * 1000:8.0f}")
        print(f"per record above the empty map:    {per_record:7.2f} µs of CPU (goal: at most 0.5: {verdict})")
        pdf = os.path.getsize(os.path.join(work, "large.pdf"))
        png = os.path.getsize(os.path.join(work, "maps", f"m{LARGE}.png"))
        print(f"written: map {png / 1e3:.0f} kB, PDF {pdf / 1e3:.0f} kB")
    finally:
        shutil.rmtree(folder, ignore_errors=True)


if __name__ == "__main__":
    main()
