#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""The desktop entry passes desktop-file-validate without a word, starts the
program that is built, and names an icon the hicolor folder holds.

usage: desktop_entry_test.py RESOURCES PELORIN
"""

import configparser
import pathlib
import subprocess
import sys


def main():
    resources, program = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
    entry_path = resources / "com.example.pelorin.desktop"

    result = subprocess.run(["desktop-file-validate", str(entry_path)], capture_output=True, text=True,
                            timeout=60)
    said = (result.stdout + result.stderr).strip()
    if result.returncode != 0 or said:
        raise AssertionError(f"desktop-file-validate exited with {result.returncode} and said:\n{said}")

    parser = configparser.ConfigParser(interpolation=None, comment_prefixes=("#",))
    parser.optionxform = str  # keys are case-sensitive
    parser.read(entry_path, encoding="utf-8")
    entry = parser["Desktop Entry"]

    if entry["Name"] != "Pelorin":
        raise AssertionError(f"Name={entry['Name']}")
    command = entry["Exec"].split()[0]
    if command != program.name:
        raise AssertionError(f"Exec starts {command}, the program is built as {program.name}")
    # Without a window manager class the dock could not tell the program's
    # windows belong to this entry; Qt takes it from the executable's name.
    if entry.get("StartupWMClass", program.name) != program.name:
        raise AssertionError(f"StartupWMClass={entry['StartupWMClass']}, the windows' class is {program.name}")

    icon = entry["Icon"]
    found = sorted((resources / "icons" / "hicolor").glob(f"*/apps/{icon}.*"))
    sizes = {path.parent.parent.name for path in found}
    for size in ("16x16", "32x32", "48x48", "scalable"):
        if size not in sizes:
            raise AssertionError(f"Icon={icon}, but icons/hicolor/{size}/apps/ has no {icon} icon")
    print(f"{entry_path.name}: valid, starts {command}, icon {icon} in {', '.join(sorted(sizes))}")


if __name__ == "__main__":
    main()
