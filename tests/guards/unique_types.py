#!/usr/bin/env python3
"""Fails when two class, struct or enum definitions share a qualified name.

Two definitions of tavik::Something in different libraries are a breach of
the one-definition rule the day one program links both: the linker keeps one
inline member or vtable and the other library's code runs on the wrong
layout, with no warning. Types in an anonymous namespace and types local to
a function have no linkage and are left out; nested types are named with
their enclosing type.
"""
import pathlib
import re
import sys

FOLDERS = ["platform", "common", "tagfile", "imagefiles", "viewer", "tools"]

TOKEN = re.compile(
    r"""//[^\n]*|/\*.*?\*/|R"(?P<delim>[^(\s]*)\(.*?\)(?P=delim)"|"(?:\\.|[^"\\\n])*"|'(?:\\.|[^'\\\n])*'"""
    r"""|\bnamespace\b|\b(?:class|struct|union|enum(?:\s+class|\s+struct)?)\b|[A-Za-z_]\w*(?:::[A-Za-z_]\w*)*|[{};()<>=:,]|\n""",
    re.S,
)


def definitions(text):
    """(qualified name, line) of each type defined at namespace or class scope."""
    tokens = []
    line = 1
    for match in TOKEN.finditer(text):
        word = match.group(0)
        if word == "\n":
            line += 1
            continue
        line += word.count("\n")
        if word.startswith(("//", "/*", '"', "'", 'R"')):
            continue
        tokens.append((word, line))
    # Scope stack: each entry (kind, name) where kind is "namespace", "type",
    # "anonymous" or "block" (a function body or initializer).
    scopes = []
    pending = None  # what the next "{" opens
    found = []
    i = 0
    while i < len(tokens):
        word, at = tokens[i]
        if word == "namespace":
            names = []
            j = i + 1
            while j < len(tokens) and tokens[j][0] not in ("{", ";", "="):
                if re.match(r"[A-Za-z_]", tokens[j][0]):
                    names.append(tokens[j][0])
                j += 1
            if j < len(tokens) and tokens[j][0] == "{":
                pending = ("namespace", "::".join(names)) if names else ("anonymous", "")
                i = j
                continue
            i = j
            continue
        if re.fullmatch(r"class|struct|union|enum(\s+class|\s+struct)?", word):
            j = i + 1
            name = tokens[j][0] if j < len(tokens) else ""
            j += 1
            if j < len(tokens) and tokens[j][0] == "final":
                j += 1
            if j < len(tokens) and tokens[j][0] == ":":  # bases, or an enum's type
                while j < len(tokens) and tokens[j][0] not in ("{", ";", "(", ")"):
                    j += 1
            if j < len(tokens) and tokens[j][0] == "{" and re.fullmatch(r"[A-Za-z_]\w*", name):
                pending = ("type", name)
                if not any(kind in ("anonymous", "block") for kind, _ in scopes):
                    qualified = "::".join([n for kind, n in scopes if n] + [name])
                    found.append((qualified, at))
                i = j
                continue
        if word == "{":
            scopes.append(pending or ("block", ""))
            pending = None
        elif word == "}":
            if scopes:
                scopes.pop()
        elif word == ";":
            pending = None
        i += 1
    return found


def main(root):
    seen = {}
    for folder in FOLDERS:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp") or not path.is_file():
                continue
            text = path.read_text(encoding="utf-8", errors="replace")
            for name, line in definitions(text):
                seen.setdefault(name, []).append(f"{path.relative_to(root)}:{line}")
    clashes = {name: places for name, places in seen.items() if len(set(p.split(":")[0] for p in places)) > 1}
    for name, places in sorted(clashes.items()):
        print(f"{name} is defined more than once: " + ", ".join(places))
    return 1 if clashes else 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else ".")))
