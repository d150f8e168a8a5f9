#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""Installs the build into an empty staging folder, as a package build would,
and checks what lands there: exactly the expected files, a desktop entry and
an AppStream metainfo file that their validators pass without a word, and
icons that are the ones in resources/.

usage: install_test.py CMAKE BUILD RESOURCES
"""

import filecmp
import os
import pathlib
import subprocess
import sys
import tempfile
import xml.etree.ElementTree as ElementTree

APP_ID = "com.example.pelorin"
PREFIX = "/usr"
ICON_SIZES = ("16x16", "32x32", "48x48", "64x64", "128x128", "256x256")

EXPECTED = {
    "usr/bin/Pelorin",
    f"usr/share/applications/{APP_ID}.desktop",
    f"usr/share/metainfo/{APP_ID}.metainfo.xml",
    "usr/share/icons/hicolor/scalable/apps/pelorin.svg",
} | {f"usr/share/icons/hicolor/{size}/apps/pelorin.png" for size in ICON_SIZES}


def run_silent(command, success_line=""):
    """Runs a validator; it must succeed and say nothing but its success line."""
    result = subprocess.run(command, capture_output=True, text=True, timeout=120)
    said = (result.stdout + result.stderr).strip()
    if result.returncode != 0 or said != success_line:
        raise AssertionError(f"{' '.join(command)} exited with {result.returncode} and said:\n{said}")


def main():
    cmake, build, resources = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    staging = pathlib.Path(tempfile.mkdtemp(prefix="pelorin-install-"))
    subprocess.run([cmake, "--install", str(build), "--prefix", PREFIX], check=True,
                   env=dict(os.environ, DESTDIR=str(staging)), stdout=subprocess.DEVNULL, timeout=120)

    installed = {str(p.relative_to(staging)) for p in staging.rglob("*") if not p.is_dir()}
    if installed != EXPECTED:
        raise AssertionError(f"unexpected: {sorted(installed - EXPECTED)}, missing: {sorted(EXPECTED - installed)}")
    program = staging / "usr/bin/Pelorin"
    if not os.access(program, os.X_OK):
        raise AssertionError("usr/bin/Pelorin is not executable")

    entry = staging / f"usr/share/applications/{APP_ID}.desktop"
    metainfo = staging / f"usr/share/metainfo/{APP_ID}.metainfo.xml"
    run_silent(["desktop-file-validate", str(entry)])
    run_silent(["appstreamcli", "validate", "--no-net", str(metainfo)], "✔ Validation was successful.")
    # The whole tree: the launchable names a desktop entry that is there,
    # and that entry's icon is installed.
    run_silent(["appstreamcli", "validate-tree", "--no-net", str(staging / "usr")],
               "✔ Validation was successful.")

    component = ElementTree.parse(metainfo).getroot()
    if component.findtext("id") != APP_ID:
        raise AssertionError(f"the metainfo's id is {component.findtext('id')}")
    launchable = component.findtext("launchable")
    if launchable != entry.name:
        raise AssertionError(f"the metainfo launches {launchable}, the desktop entry is {entry.name}")
    binaries = [b.text for b in component.iter("binary")]
    if binaries != [program.name]:
        raise AssertionError(f"the metainfo provides {binaries}")
    versions = [r.get("version") for r in component.iter("release")]
    if versions != ["1.0.0"]:
        raise AssertionError(f"the metainfo's releases are {versions}")

    for size in ICON_SIZES + ("scalable",):
        name = "pelorin.svg" if size == "scalable" else "pelorin.png"
        source = resources / "icons/hicolor" / size / "apps" / name
        target = staging / "usr/share/icons/hicolor" / size / "apps" / name
        if not filecmp.cmp(source, target, shallow=False):
            raise AssertionError(f"{target.relative_to(staging)} differs from {source}")
    print(f"installed {len(installed)} files; both validators silent")


if __name__ == "__main__":
    main()
