#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""The committed icons are what scripts/make-icon draws now: a change to the
drawing that was not followed by `make icon` shows here.

usage: icon_current_test.py RESOURCES MAKE-ICON
"""

import pathlib
import subprocess
import sys
import tempfile

from PIL import Image


def icon_files(folder):
    files = {path.relative_to(folder) for path in (folder / "icons").rglob("*") if path.is_file()}
    return files | {pathlib.Path("pelorin.ico")}


def same(committed, drawn):
    if committed.suffix == ".png":
        # Pixels, not bytes: the compressor may pack the same picture differently.
        with Image.open(committed) as a, Image.open(drawn) as b:
            return a.size == b.size and a.convert("RGBA").tobytes() == b.convert("RGBA").tobytes()
    return committed.read_bytes() == drawn.read_bytes()


def main():
    resources, script = pathlib.Path(sys.argv[1]), sys.argv[2]
    with tempfile.TemporaryDirectory() as scratch:
        drawn = pathlib.Path(scratch)
        subprocess.run([script, str(drawn)], check=True, timeout=120)
        expected = icon_files(drawn)
        committed = icon_files(resources)
        if committed != expected:
            raise AssertionError(f"make-icon draws {sorted(map(str, expected))}, "
                                 f"resources/ holds {sorted(map(str, committed))}")
        stale = [str(name) for name in sorted(expected) if not same(resources / name, drawn / name)]
        if stale:
            raise AssertionError("these differ from what make-icon draws; run `make icon`: " + ", ".join(stale))
    print(f"icons: all {len(expected)} files are as make-icon draws them")


if __name__ == "__main__":
    main()
