#!/usr/bin/env python3
"""Import bench of samvel.

Writes a database (species, area and literature tables) and one input table
of ROWS rows over SPECIES species, about 70% of them distinct records and the
rest repeats, then times `samvel -rebuild` on it against
`LC_ALL=C sort -t, -u` on the same rows, and prints both times, their ratio
and samvel's peak memory. The goal: samvel within 1.5 times sort's time, peak
memory under 400 bytes per input row.

    bench/samvel_import.py [--rows 1000000] [--species 2000] [--runs 3]
                           [--samvel build/bin/samvel] [--work DIR] [--keep]
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


def area_name(a):
    """A name without digits: digits in an area field are read as its code."""
    letters = ""
    while a:
        a, r = divmod(a, 26)
        letters += chr(ord("A") + r)
    return "AREA" + letters


def write_database(work, species_count, area_count, literature_count):
    with open(os.path.join(work, "species.csv"), "w", newline="") as f:
        for s in range(1, species_count + 1):
            f.write(f"{s * 10},Species {s},Author,1900,,0,,\r\n")
    # Area names are plain ASCII here; name look-ups cost the same either way.
    with open(os.path.join(work, "area.csv"), "w", newline="") as f:
        for a in range(1, area_count + 1):
            f.write(f"{1000 + a},,,Area {a},35,139,0,0,,{area_name(a)},,\r\n")
    with open(os.path.join(work, "litera.csv"), "w", newline="") as f:
        for l in range(1, literature_count + 1):
            f.write(f"L{l:04d},Author {l},{1950 + l % 60},Title of work {l}\r\n")
    with open(os.path.join(work, "tavik.ini"), "w", newline="") as f:
        f.write(f"[Capacity]\r\nSpeciesMax={species_count}\r\nAreaMax={area_count}\r\n"
                f"LiteraMax={literature_count}\r\n")


def random_location(rng, area_count):
    kind = rng.random()
    if kind < 0.4:  # area code, sometimes by name
        a = rng.randint(1, area_count)
        return (str(1000 + a) if rng.random() < 0.8 else area_name(a), "", "", "")
    if kind < 0.7:  # third-order grid square
        return ("", "", "", f"{rng.randint(3036, 6848)}-{rng.randint(0, 7)}{rng.randint(0, 7)}-"
                            f"{rng.randint(0, 9)}{rng.randint(0, 9)}")
    lat = f"{rng.randint(24, 45)}.{rng.randint(0, 59):02d}'{rng.randint(0, 59):02d}"
    lon = f"{rng.randint(123, 148)}.{rng.randint(0, 59):02d}'{rng.randint(0, 59):02d}"
    return ("", lat, lon, "")


def write_input(path, rows, species_count, area_count, literature_count, seed):
    rng = random.Random(seed)
    distinct = rows * 7 // 10
    seen = set()
    lines = []
    while len(lines) < distinct:
        s = rng.randint(1, species_count)
        area, lat, lon, mesh = random_location(rng, area_count)
        key = (s, area, lat, lon, mesh)
        if key in seen:
            continue
        seen.add(key)
        l = rng.randint(1, literature_count)
        literature = f"L{l:04d}" if rng.random() < 0.9 else f"Title of work {l}"
        lines.append(f"Species {s},,{s * 10},{area},{literature},{rng.choice('ABCZ')},{lat},{lon},{mesh}\r\n")
    lines.extend(rng.choice(lines) for _ in range(rows - distinct))
    rng.shuffle(lines)
    with open(path, "w", newline="") as f:
        f.writelines(lines)


def timed(command, cwd, env=None):
    """Wall time and CPU time (user + system) in seconds and peak resident
    memory in bytes of one run."""
    with open(os.devnull, "w") as null:
        start = time.perf_counter()
        process = subprocess.Popen(command, cwd=cwd, env=env, stdout=null, stderr=subprocess.PIPE)
        _, status, usage = os.wait4(process.pid, 0)
        elapsed = time.perf_counter() - start
        errors = process.stderr.read().decode("utf-8", "replace")
        process.stderr.close()
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"{' '.join(command)} failed:\n{errors}")
    return elapsed, usage.ru_utime + usage.ru_stime, usage.ru_maxrss * 1024


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--rows", type=int, default=1000000)
    parser.add_argument("--species", type=int, default=2000)
    parser.add_argument("--areas", type=int, default=1500)
    parser.add_argument("--literature", type=int, default=500)
    parser.add_argument("--runs", type=int, default=3, help="runs of each command; the best time counts")
    parser.add_argument("--samvel", default=os.path.join(HERE, "..", "build", "bin", "samvel"))
    parser.add_argument("--work", help="folder for the database (default: a new temporary folder)")
    parser.add_argument("--keep", action="store_true", help="keep the database folder")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--generate-only", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()

    if args.generate_only:
        write_database(args.work, args.species, args.areas, args.literature)
        write_input(os.path.join(args.work, "input.csv"), args.rows, args.species, args.areas, args.literature,
                    args.seed)
        return

    samvel = os.path.abspath(args.samvel)
    if not os.access(samvel, os.X_OK):
        sys.exit(f"{samvel} not found: build it first (make build)")
    work = args.work or tempfile.mkdtemp(prefix="samvel_bench_")
    os.makedirs(work, exist_ok=True)
    try:
        print(f"writing {args.rows} rows over {args.species} species in {work}", file=sys.stderr, flush=True)
        # A separate process writes the data, so that this one stays small:
        # a child's peak memory counts what it shared with this process
        # before it started samvel.
        subprocess.run([sys.executable, os.path.abspath(__file__), "--generate-only", "--work", work,
                        "--rows", str(args.rows), "--species", str(args.species), "--areas", str(args.areas),
                        "--literature", str(args.literature), "--seed", str(args.seed)], check=True)

        sort_env = dict(os.environ, LC_ALL="C")
        samvel_runs = [timed([samvel, "-rebuild", "input.csv"], work) for _ in range(args.runs)]
        sort_runs = [timed(["sort", "-t,", "-u", "-o", "sorted.csv", "input.csv"], work, sort_env)
                     for _ in range(args.runs)]

        samvel_time = min(r[0] for r in samvel_runs)
        samvel_cpu = min(r[1] for r in samvel_runs)
        samvel_peak = max(r[2] for r in samvel_runs)
        sort_time = min(r[0] for r in sort_runs)
        sort_cpu = min(r[1] for r in sort_runs)
        with open(os.path.join(work, "tavik.csv"), "rb") as f:
            points = sum(max(0, line.count(b",") // 2) for line in f)
        with open(os.path.join(work, "sorted.csv"), "rb") as f:
            unique_rows = sum(1 for _ in f)

        print(f"input rows:              {args.rows}")
        print(f"distinct rows (sort -u): {unique_rows}")
        print(f"points written:          {points}")
        print(f"samvel -rebuild:         {samvel_time:.3f} s (CPU {samvel_cpu:.3f} s)")
        print(f"LC_ALL=C sort -t, -u:    {sort_time:.3f} s (CPU {sort_cpu:.3f} s, on every core)")
        print(f"ratio samvel / sort:     {samvel_time / sort_time:.2f} (goal: at most 1.5)")
        print(f"samvel peak memory:      {samvel_peak / 1e6:.1f} MB, "
              f"{samvel_peak / args.rows:.0f} bytes per input row (goal: under 400)")
    finally:
        if not args.keep and not args.work:
            shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
