#!/usr/bin/python3
# SPDX-FileCopyrightText: 2026 The Pelorin developers
# SPDX-License-Identifier: MIT
"""Installs the build into an empty staging folder, as a package build would,
and checks what lands there: exactly the expected files, a desktop entry, an
AppStream metainfo file and a manual page that their validators pass without
a word, the modes a package needs whatever the umask, a changelog of this version, the licence as LICENSE states it, and
icons that are the ones in resources/.

usage: install_test.py CMAKE BUILD RESOURCES VERSION
"""

import filecmp
import gzip
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
    "usr/share/man/man1/Pelorin.1.gz",
    "usr/share/doc/pelorin/copyright",
    "usr/share/doc/pelorin/changelog.gz",
} | {f"usr/share/icons/hicolor/{size}/apps/pelorin.png" for size in ICON_SIZES}


def run_silent(command, success_line=""):
    """Runs a validator; it must succeed and say nothing but its success line."""
    result = subprocess.run(command, capture_output=True, text=True, timeout=120)
    said = (result.stdout + result.stderr).strip()
    if result.returncode != 0 or said != success_line:
        raise AssertionError(f"{' '.join(command)} exited with {result.returncode} and said:\n{said}")


def main():
    cmake, build, resources = sys.argv[1], pathlib.Path(sys.argv[2]), pathlib.Path(sys.argv[3])
    version = sys.argv[4]
    staging = pathlib.Path(tempfile.mkdtemp(prefix="pelorin-install-"))
    # A user's umask that lets the group write: what is installed is the
    # package's tree, whose folders must still be 755.
    os.umask(0o002)
    subprocess.run([cmake, "--install", str(build), "--prefix", PREFIX], check=True,
                   env=dict(os.environ, DESTDIR=str(staging)), stdout=subprocess.DEVNULL, timeout=120)

    installed = {str(p.relative_to(staging)) for p in staging.rglob("*") if not p.is_dir()}
    if installed != EXPECTED:
        raise AssertionError(f"unexpected: {sorted(installed - EXPECTED)}, missing: {sorted(EXPECTED - installed)}")
    program = staging / "usr/bin/Pelorin"
    modes = {str(p.relative_to(staging)): p.stat().st_mode & 0o7777 for p in staging.rglob("*")}
    wrong = {path: oct(mode) for path, mode in modes.items()
             if mode != (0o755 if path == "usr/bin/Pelorin" or path not in installed else 0o644)}
    if wrong:
        raise AssertionError(f"modes other than 755 for folders and the program, 644 for files: {wrong}")

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
    if versions[:1] != [version]:
        raise AssertionError(f"the metainfo's releases are {versions}, the version {version}")

    # The manual page as lintian reads it: any warning of man's is its error.
    page = subprocess.run(["man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z",
                           str(staging / "usr/share/man/man1/Pelorin.1.gz")],
                          capture_output=True, text=True, timeout=60,
                          env=dict(os.environ, MANROFFSEQ="", MANWIDTH="80"))
    if page.returncode != 0 or page.stderr or "Pelorin" not in page.stdout:
        raise AssertionError(f"man exited with {page.returncode} and said:\n{page.stderr}")
    doc = staging / "usr/share/doc/pelorin"
    changelog = pathlib.Path(tempfile.mkdtemp(prefix="pelorin-changelog-")) / "changelog"
    changelog.write_bytes(gzip.decompress((doc / "changelog.gz").read_bytes()))
    parsed = subprocess.run(["dpkg-parsechangelog", "-l", str(changelog)], check=True,
                            capture_output=True, text=True, timeout=60).stdout
    fields = dict(line.split(": ", 1) for line in parsed.splitlines() if ": " in line)
    if (fields.get("Source"), fields.get("Version")) != ("pelorin", version):
        raise AssertionError(f"the changelog says:\n{parsed}")
    # The copyright file's licence is LICENSE's permission, line for line.
    licence = (resources.parent / "LICENSE").read_text().split("\n\n", 2)[2].strip()
    copyright_file = (doc / "copyright").read_text()
    written = copyright_file.split("\nLicense: Expat\n")[-1].rstrip("\n")
    if written != "\n".join(" " + (line or ".") for line in licence.split("\n")):
        raise AssertionError(f"the copyright file's licence text differs from LICENSE:\n{written}")

    for size in ICON_SIZES + ("scalable",):
        name = "pelorin.svg" if size == "scalable" else "pelorin.png"
        source = resources / "icons/hicolor" / size / "apps" / name
        target = staging / "usr/share/icons/hicolor" / size / "apps" / name
        if not filecmp.cmp(source, target, shallow=False):
            raise AssertionError(f"{target.relative_to(staging)} differs from {source}")
    print(f"installed {len(installed)} files; the validators and man silent")


if __name__ == "__main__":
    main()
