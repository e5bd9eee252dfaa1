#!/usr/bin/env python3
"""Checks the names the project declares in its C++ sources.

Two kinds of name read as leftovers of another framework's style and are
refused: identifiers that start with an underscore and a lower-case word
(`_load`), and class names of the form C1x / CAbc / TAbc (`CFoo`, `TBar`).
String literals and comments are ignored, and so are names the project does
not declare (system calls such as `_exit`). Prints every offending place and
exits 1 when there is one.
"""
import pathlib
import re
import sys

ROOT = pathlib.Path(__file__).resolve().parent.parent
FOLDERS = ("src", "tools", "tests", "bench", "fuzz")
# Names from the C library and the compiler the code may use.
EXTERNAL = {"_exit", "_start", "_mm_pause"}

UNDERSCORE = re.compile(r"(?<![\w.])_[a-z][A-Za-z0-9_]*\b")
CLASS_DECL = re.compile(r"\b(?:class|struct|union|enum(?:\s+class)?|using|typedef\s+[\w:<>, ]+)\s+([CT][A-Z0-9][a-z0-9]\w*)\b")


def code_only(text):
    """The text with string and character literals and comments blanked
    (line breaks kept, so line numbers stay right)."""
    out = []
    i, n = 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            i = j
            continue
        if text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            out.append("\n" * text.count("\n", i, j))
            i = j
            continue
        raw = re.match(r'R"([^()\s]{0,16})\(', text[i:i + 20]) if c == "R" else None
        if raw and (i == 0 or not (text[i - 1].isalnum() or text[i - 1] == "_")):
            end = text.find(")" + raw.group(1) + '"', i)
            end = n if end < 0 else end + len(raw.group(1)) + 2
            out.append('""' + "\n" * text.count("\n", i, end))
            i = end
            continue
        if c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum())):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            out.append(c + c)
            i = j + 1
            continue
        out.append(c)
        i += 1
    return "".join(out)


def main():
    problems = []
    for folder in FOLDERS:
        for path in sorted((ROOT / folder).rglob("*")):
            if path.suffix not in (".h", ".cpp", ".hpp", ".cc") or not path.is_file():
                continue
            code = code_only(path.read_text(encoding="utf-8", errors="replace"))
            for number, line in enumerate(code.split("\n"), 1):
                if line.lstrip().startswith("#include"):
                    continue
                for m in UNDERSCORE.finditer(line):
                    if m.group(0) not in EXTERNAL:
                        problems.append(f"{path.relative_to(ROOT)}:{number}: name '{m.group(0)}' starts with '_' and a lower-case word")
                for m in CLASS_DECL.finditer(line):
                    problems.append(f"{path.relative_to(ROOT)}:{number}: class name '{m.group(1)}'")
    for p in problems:
        print(p)
    print(f"names: {len(problems)} problem(s)")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
