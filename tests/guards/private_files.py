#!/usr/bin/env python3
"""Fails when a test may write a file another test can see.

CTest runs the cases of one binary as separate processes at the same time, so
a file under a fixed name in the shared temporary directory is truncated by
one case while another reads it. Tests write only into a folder of their own
(tests/support/test_folder.h: TestFolder, made by mkdtemp); only the helpers
that make such folders and files may name the temporary directory.
"""
import pathlib
import re
import sys

# The helpers that make unique folders and files (mkdtemp, mkstemp).
ALLOWED = {"support/test_folder.h", "support/process_run.cpp"}

# Ways of reaching the shared temporary directory, or a fixed place in it.
PATTERNS = [
    (re.compile(r"TempDir\s*\("), "the shared test temporary directory"),
    (re.compile(r"temp_directory_path\s*\("), "the shared temporary directory"),
    (re.compile(r"getenv\s*\(\s*\"(TMPDIR|TEST_TMPDIR|TMP|TEMP)\""), "the temporary directory's variable"),
    (re.compile(r"\"/tmp/"), "a fixed path under /tmp"),
    (re.compile(r"QDir::tempPath\s*\("), "the shared temporary directory"),
    (re.compile(r"\btmpnam\s*\("), "a temporary name another process can take"),
]


def findings(root):
    for path in sorted(root.rglob("*")):
        if path.suffix not in (".cpp", ".h") or not path.is_file():
            continue
        relative = path.relative_to(root).as_posix()
        if relative in ALLOWED:
            continue
        for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
            code, _, comment = line.partition("//")
            if "own folder:" in comment:  # a reasoned exception, e.g. TMPDIR pointed into a TestFolder
                continue
            for pattern, what in PATTERNS:
                if pattern.search(code):
                    yield f"tests/{relative}:{number}: {what}: {line.strip()}"


def main():
    root = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).resolve().parent.parent)
    found = list(findings(root))
    for finding in found:
        print(finding)
    if found:
        print(f"{len(found)} place(s) write outside a test's own folder: use tests/support/test_folder.h (TestFolder)")
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
