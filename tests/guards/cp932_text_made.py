#!/usr/bin/env python3
"""Fails when program code makes a Cp932Text out of bytes by hand anywhere
but where text is converted: platform/cp932.cpp (utf8ToCp932, cp932Literal,
cp932Printf) and viewer/basemap/qt_text.h (cp932Of, bytes carried unchanged
through a Qt signal).

Messages and the tools' faults hold Cp932Text, so that UTF-8 text (a
system's error text, Qt's strings, a literal of the source) cannot become
one unconverted: the compiler refuses a std::string. Wrapping a std::string
in Cp932Text(...) would silence it and bring the mojibake back.
"""
import pathlib
import re
import sys

from program_code import matching_lines, report

MAKERS = {
    pathlib.Path("platform/cp932.cpp"),
    pathlib.Path("viewer/basemap/qt_text.h"),
    pathlib.Path("platform/cp932_text.h"),  # the type itself
}
# A construction from something: Cp932Text(x) or Cp932Text{x}; the empty text
# (Cp932Text{} or Cp932Text()) is no text and is allowed.
MADE = re.compile(r"\bCp932Text\s*(?:\(\s*[^)\s]|\{\s*[^}\s])")


def main():
    found = list(matching_lines(pathlib.Path(sys.argv[1]), MADE, MAKERS))
    return report(
        found,
        "Cp932Text made by hand: convert with utf8ToCp932, cp932Literal or cp932Printf",
        "every Cp932Text is made by a conversion",
    )


if __name__ == "__main__":
    sys.exit(main())
