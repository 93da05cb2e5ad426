#!/usr/bin/env python3
"""Fails when program code converts between Qt strings and std::string
anywhere but in viewer/basemap/qt_text.h.

The tables, settings and messages hold cp932; paths, the command line and
Qt's own texts are UTF-8; both are std::string. A QString made with
fromStdString from cp932 text shows as mojibake, and toStdString of a typed
name gives UTF-8 where cp932 is read. qt_text.h names each crossing by what
crosses: qtext / cp932Text (table text), cp932Name (a name that must find
the same thing again), qpath / localPathOf (a LocalPath), qutf8 / utf8Of
(UTF-8 text), cp932Bytes / cp932Of (cp932 bytes through a signal).
"""
import pathlib
import re
import sys

from program_code import matching_lines, report

EDGE = pathlib.Path("viewer/basemap/qt_text.h")
CROSSING = re.compile(
    r"\b(?:fromStdString|toStdString|fromLocal8Bit|toLocal8Bit)\s*\("
    r"|\bfromUtf8\s*\([^;\"]*\b(?:c_str|data)\s*\(\)"
)


def main():
    found = list(matching_lines(pathlib.Path(sys.argv[1]), CROSSING, {EDGE}))
    return report(
        found,
        f"conversion(s) between QString and std::string outside {EDGE}: use its named crossings",
        f"every conversion between QString and std::string goes through {EDGE}",
    )


if __name__ == "__main__":
    sys.exit(main())
