"""What the source guards share: the program's code lines, comments left out,
and the report of what a guard found."""
import pathlib

FOLDERS = ["platform", "common", "tagfile", "imagefiles", "viewer", "tools"]


def matching_lines(root, pattern, allowed=()):
    """Every line of the program's .cpp and .h files whose code (before a
    // comment) matches `pattern`, as "path:line: text", leaving out the
    files in `allowed` (paths relative to root)."""
    for folder in FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            where = path.relative_to(root)
            if path.suffix not in (".cpp", ".h") or where in allowed:
                continue
            text = path.read_text(encoding="utf-8")
            for number, line in enumerate(text.splitlines(), 1):
                if pattern.search(line.split("//", 1)[0]):
                    yield f"{where}:{number}: {line.strip()}"


def report(found, fault, sound):
    """Prints the findings and the verdict; the exit status of the guard."""
    for where in found:
        print(where)
    if found:
        print(f"{len(found)} {fault}")
        return 1
    print(sound)
    return 0
