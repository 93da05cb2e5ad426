#!/usr/bin/env python3
"""Page bench of norbek.

Writes a database of SPECIES species, each with LINES lines in the
species-literature table (areas, grid squares and points, one to three
literature codes a line), an image folder holding a map for every other
species, and times `norbek -sci -area -allarea -geo` in HTML mode and
`norbek -code -txt -allarea -area` in text mode. Prints the time of each run
and the pages written per second. Creating thousands of files is bound by
the file system: on a busy disk the wall time is mostly waiting, so run it
on tmpfs (--work /dev/shm/...) as well to see norbek's own cost.

With --large, it writes instead a table of LINES lines in all (5,000,000 by
default) of about 180 bytes each, as a national data set makes (17 to 39
literature codes a line, a third of the species far larger than the rest),
and runs `norbek -sci -allarea html` once, printing pages per second and the
peak memory against its goal of 100 MB: norbek holds the lines of one species
at a time, never the table.

    bench/norbek_pages.py [--species 2000] [--lines 20] [--runs 3]
                          [--norbek build/bin/norbek] [--work DIR] [--keep]
    bench/norbek_pages.py --large [--lines 5000000] [--species 2000]
"""
import argparse
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def write_database(work, species_count, lines_per_species, area_count, literature_count, seed):
    rng = random.Random(seed)
    with open(os.path.join(work, "species.csv"), "w", newline="") as f:
        for s in range(1, species_count + 1):
            f.write(f"{s * 10},Genus{s % 97} species{s},Author,1900,{'C' if s % 3 else ''},0,"
                    f"Group{s % 40},Alias{s},GroupAlias{s % 40},,\r\n")
    # Groups come from the species' group names.
    open(os.path.join(work, "phyletic.csv"), "w").close()
    with open(os.path.join(work, "area.csv"), "w", newline="") as f:
        for a in range(1, area_count + 1):
            f.write(f"{1000 + a},,,Area {a},N35.{a % 60:02d},E139.{a % 60:02d},0,0,,Alias {a},,,"
                    f"Region {a % 9},Small {a % 17}\r\n")
    with open(os.path.join(work, "litera.csv"), "w", newline="") as f:
        for l in range(1, literature_count + 1):
            f.write(f"L{l:04d},Author {l % 300},{1950 + l % 60},Title of work {l},B{l % 50},{l % 30},"
                    f"{l % 7}-{l % 11},,,,,,\r\n")
    with open(os.path.join(work, "book.csv"), "w", newline="") as f:
        for b in range(50):
            f.write(f"B{b},Journal {b},,\r\n")
    with open(os.path.join(work, "split.csv"), "w", newline="") as f:
        for s in range(1, species_count + 1):
            for _ in range(lines_per_species):
                kind = rng.random()
                if kind < 0.6:
                    location = str(1000 + rng.randint(1, area_count))
                elif kind < 0.8:
                    location = f"JP{rng.randint(3036, 6848)}{rng.randint(0, 7)}{rng.randint(0, 7)}" \
                               f"{rng.randint(0, 9)}{rng.randint(0, 9)}"
                else:
                    location = f"N{rng.randint(24, 45)}.{rng.randint(0, 59):02d}'" \
                               f"E{rng.randint(123, 148)}.{rng.randint(0, 59):02d}'"
                codes = ",".join(f"L{rng.randint(1, literature_count):04d}" for _ in range(rng.randint(1, 3)))
                f.write(f"{s * 10},{location},{codes}\r\n")
    os.makedirs(os.path.join(work, "map"), exist_ok=True)
    for s in range(1, species_count + 1, 2):
        with open(os.path.join(work, "map", f"Genus{s % 97}_species{s}.png"), "wb") as f:
            f.write(b"png")
    with open(os.path.join(work, "tavik.ini"), "w", newline="") as f:
        f.write(f"[Capacity]\r\nSpeciesMax={species_count}\r\nAreaMax={area_count}\r\n"
                f"LiteraMax={literature_count}\r\n[Norbek]\r\nHtmlImageURL1=../map/*.png\r\n"
                f"HtmlAllAreaHeader=All areas\r\n")


def write_large_table(work, species_count, line_count, area_count, literature_count, seed):
    """The species-literature table of the large run: lines of about 180
    bytes, species in code order, every third species holding five times the
    lines of the others."""
    rng = random.Random(seed)
    tails = []
    for _ in range(4096):
        kind = rng.random()
        if kind < 0.6:
            location = str(1000 + rng.randint(1, area_count))
        elif kind < 0.8:
            location = f"JP{rng.randint(3036, 6848)}{rng.randint(0, 7)}{rng.randint(0, 7)}"
        else:
            location = f"N{rng.randint(24, 45)}.{rng.randint(0, 59):02d}'E{rng.randint(123, 148)}.{rng.randint(0, 59):02d}'"
        codes = ",".join(f"L{rng.randint(1, literature_count):04d}" for _ in range(rng.randint(17, 39)))
        tails.append(f",{location},{codes}\r\n")
    weights = [5 if s % 3 == 0 else 1 for s in range(1, species_count + 1)]
    scale = line_count / sum(weights)
    counts = [int(w * scale) for w in weights]
    counts[-1] += line_count - sum(counts)
    size = 0
    with open(os.path.join(work, "split.csv"), "w", newline="", buffering=1 << 20) as f:
        for s, count in enumerate(counts, start=1):
            code = str(s * 10)
            chunk = "".join(code + tails[rng.randrange(4096)] for _ in range(count))
            size += len(chunk)
            f.write(chunk)
    return size, max(counts)


def timed(command, cwd):
    """Wall time and CPU time (user + system) in seconds of one run."""
    with open(os.devnull, "w") as null:
        start = time.perf_counter()
        process = subprocess.Popen(command, cwd=cwd, stdout=null, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        elapsed = time.perf_counter() - start
        errors = process.stderr.read().decode("utf-8", "replace")
        process.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(command)} failed:\n{errors}")
    return elapsed, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024


def run_large(norbek, work, args):
    write_database(work, args.species, 0, args.areas, args.literature, args.seed)
    size, largest = write_large_table(work, args.species, args.lines, args.areas, args.literature, args.seed)
    print(f"species-literature table: {args.lines:,} lines, {size / 1e6:.0f} MB "
          f"({size / args.lines:.0f} bytes a line), {args.species} species, the largest {largest:,} lines")
    wall, cpu, peak = timed([norbek, "-sci", "-allarea", "html"], work)
    pages = args.species
    print(f"norbek -sci -allarea (HTML): {wall:.1f} s (CPU {cpu:.1f} s), {pages / wall:.0f} pages/s, "
          f"{args.lines / wall / 1e6:.2f} M lines/s")
    verdict = "met" if peak <= 100 else "MISSED"
    print(f"peak memory {peak:.1f} MB (goal: at most 100 MB: {verdict})")


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--species", type=int, default=2000)
    parser.add_argument("--lines", type=int, default=20, help="species-literature lines per species")
    parser.add_argument("--areas", type=int, default=1500)
    parser.add_argument("--literature", type=int, default=2000)
    parser.add_argument("--runs", type=int, default=3, help="runs of each mode; the best time counts")
    parser.add_argument("--norbek", default=os.path.join(HERE, "..", "build", "bin", "norbek"))
    parser.add_argument("--work", help="folder for the database (default: a new temporary folder)")
    parser.add_argument("--keep", action="store_true", help="keep the database folder")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--large", action="store_true",
                        help="one run over a table of --lines lines in all (default 5,000,000)")
    args = parser.parse_args()
    if args.large and "--lines" not in sys.argv:
        args.lines = 5000000
    if args.large and "--literature" not in sys.argv:
        args.literature = 500  # keeps the pages, not the table, small

    norbek = os.path.abspath(args.norbek)
    if not os.access(norbek, os.X_OK):
        sys.exit(f"{norbek} not found: build it first (make build)")
    work = args.work or tempfile.mkdtemp(prefix="norbek_bench_")
    os.makedirs(os.path.join(work, "html"), exist_ok=True)
    os.makedirs(os.path.join(work, "text"), exist_ok=True)
    try:
        if args.large:
            run_large(norbek, work, args)
            return
        write_database(work, args.species, args.lines, args.areas, args.literature, args.seed)
        html = [timed([norbek, "-sci", "-area", "-allarea", "-geo", "html"], work) for _ in range(args.runs)]
        text = [timed([norbek, "-code", "-txt", "-allarea", "-area", "text"], work) for _ in range(args.runs)]
        pages = args.species
        print(f"species with literature: {pages}, {pages * args.lines} species-literature lines, in {work}")
        for mode, runs in (("HTML mode (-sci -area -allarea -geo, one image source)", html),
                           ("text mode (-code -txt -allarea -area, two files a page)", text)):
            wall = min(r[0] for r in runs)
            cpu = min(r[1] for r in runs)
            print(f"{mode}: {wall:.3f} s (CPU {cpu:.3f} s), {pages / wall:.0f} pages/s")
    finally:
        if not args.keep and not args.work:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
